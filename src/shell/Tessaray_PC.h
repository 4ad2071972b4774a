#pragma once
// The application object: link state, window geometry and switches shared by the screens
// and the reader thread, the reader thread itself, start-up and exit.

#include <atomic>
#include <cstdint>
#include <functional>

#include "engine/appstate.h"
#include "engine/thread.h"

// eExitChoice: the button pressed in the exit dialog.
enum eExitChoice : int32_t {
    EXIT_AND_SAVE = 0,
    EXIT_WITHOUT_SAVING = 1,
    EXIT_CANCEL = 2,
    EXIT_AND_SAVE_PROFILE = 3,
};

inline constexpr int kComPortProbeCount = 16;

class CTessaray_PCApp : public AppShared {
public:
    CTessaray_PCApp();
    ~CTessaray_PCApp() override;

    // Fields shared with the reader thread are the atomics of AppShared; the ones below
    // belong to the user-interface thread.
    int32_t bExiting = 0;
    int32_t iExitChoice = EXIT_AND_SAVE;
    int32_t iWinX = 0;
    int32_t iWinY = 0;
    int32_t iWinWidth = 0;
    int32_t iWinHeight = 0;
    int32_t iNavBarWidth = 0;
    int32_t iNavBarHeight = 0;
    float fScaleX = 1.0f;
    float fScaleY = 1.0f;
    int32_t iScalePercent = 100;
    int32_t bSuspendTimers = 0;
    int32_t iComPortTable[kComPortProbeCount] = {};
    int32_t bReceiverFoundShown = 0;
    int32_t bSaveOnExit = 0;
    int32_t bSearchRequested = 0;
    int32_t iLinkLostCount = 0;
    int32_t iScreenGroup = 1;
    int32_t bCloseRetry = 0;
    // Set by the exit sequence while it saves the receiver configuration: the baud search
    // stops and the link watchdog only polls, so no start-up dialog opens over it.
    int32_t bExitInProgress = 0;

    CGPSThread GpsThread;

    // Set once this run has loaded the profile archive or written a default one; only then
    // may the exit write it back, so an early close never replaces the user's archive.
    int32_t bArchiveLoaded = 0;

    // Runs the program: data event, reader thread, main window. Returns FALSE.
    int InitInstance();
    // Saves the archive and shuts the receiver down (exit sequence).
    int ExitInstance();
    int StartGpsThread();
    // Fills iComPortTable: entry n-1 holds n when COMn could be opened.
    int EnumSerialPorts();

    // Ends the process. Tests install a hook that records the code instead, since the modal
    // loops of the program never unwind on their own.
    // tellPending: show the notices not yet shown and wait for their answers first.
    static void EndProcess(int code, bool tellPending = true);
    static void SetEndProcessHook(std::function<void(int)> hook);
    static bool HasEndProcessHook();
    // Work that must reach the disk however the program ends (the file of the screen in use);
    // EndProcess runs every saver first, in the order added.
    static void AddEndProcessSaver(std::function<void()> save);
};

CTessaray_PCApp& theApp();

// Loads the profile archive at the hand-over to the start-up dialog (default archive when it
// is missing or unreadable), then resets the live sub-records. 1, or 0 after an error.
int LoadProfileArchive();
