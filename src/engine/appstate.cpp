#include "engine/appstate.h"

namespace {

AppShared& DefaultApp() {
    static AppShared app;
    return app;
}

std::atomic<AppShared*> g_app{nullptr};

}  // namespace

void AppShared::ResetHeardCounters() {
    uFramesHeard.store(0);
    uRepliesHeard.store(0);
}

std::string AppShared::GetLogFile(eLogFile which) const {
    if (which < 0 || which >= LOGFILE_COUNT) return {};
    std::lock_guard<std::mutex> lock(namesMutex_);
    return logFiles_[which];
}

void AppShared::SetLogFile(eLogFile which, const std::string& path) {
    if (which < 0 || which >= LOGFILE_COUNT) return;
    std::lock_guard<std::mutex> lock(namesMutex_);
    logFiles_[which] = path;
    ++logFileGeneration_;
}

uint32_t AppShared::LogFileGeneration() const {
    std::lock_guard<std::mutex> lock(namesMutex_);
    return logFileGeneration_;
}

PlotReference AppShared::GetPlotRef() const {
    std::lock_guard<std::mutex> lock(plotRefMutex_);
    return plotRef_;
}

void AppShared::SetPlotRef(const PlotReference& ref) {
    std::lock_guard<std::mutex> lock(plotRefMutex_);
    plotRef_ = ref;
    plotRef_.bPlotRefChanged = true;
}

void AppShared::ClearPlotRef() {
    std::lock_guard<std::mutex> lock(plotRefMutex_);
    plotRef_.bPlotRefValid = false;
    plotRef_.bPlotRefChanged = true;
}

bool AppShared::TakePlotRefChanged() {
    std::lock_guard<std::mutex> lock(plotRefMutex_);
    bool changed = plotRef_.bPlotRefChanged;
    plotRef_.bPlotRefChanged = false;
    return changed;
}

AppShared& App() {
    AppShared* app = g_app.load();
    return app ? *app : DefaultApp();
}

void SetApp(AppShared* app) {
    g_app.store(app);
}
