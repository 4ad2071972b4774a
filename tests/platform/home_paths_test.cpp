// "~/" names the home folder, and a path under it is written back in that form.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/paths.h"

namespace {

// HOME for the life of the object, restored after.
class Home {
public:
    explicit Home(const char* home) {
        if (const char* old = std::getenv("HOME")) old_ = old;
        ::setenv("HOME", home, 1);
    }
    ~Home() {
        if (old_) ::setenv("HOME", old_->c_str(), 1);
        if (!old_) ::unsetenv("HOME");
    }

private:
    std::optional<std::string> old_;
};

TEST(HomePaths, TildeSlashIsTheHomeFolder) {
    // HOME, a name, the name expanded, a path, the path shortened.
    const struct {
        const char *home, *name, *expanded, *path, *shortened;
    } cases[] = {
        {"/home/ann", "~/logs/a.txt", "/home/ann/logs/a.txt", "/home/ann/logs/a.txt",
         "~/logs/a.txt"},
        {"/home/ann/", "~/a.txt", "/home/ann/a.txt", "/home/ann/a.txt", "~/a.txt"},
        {"/home/ann", "~", "~", "/home/ann", "/home/ann"},
        {"/home/ann", "~ann/a.txt", "~ann/a.txt", "/home/anna/a.txt", "/home/anna/a.txt"},
        {"/home/ann", "a/~/b.txt", "a/~/b.txt", "/srv/a.txt", "/srv/a.txt"},
        {"/home/ann", "/~/b.txt", "/~/b.txt", "~/a.txt", "~/a.txt"},
        {"/", "~/a.txt", "/a.txt", "/a.txt", "/a.txt"},
    };
    for (const auto& c : cases) {
        Home home(c.home);
        EXPECT_EQ(platform::ExpandHome(c.name), c.expanded) << c.home << " " << c.name;
        EXPECT_EQ(platform::ShortenHome(c.path), c.shortened) << c.home << " " << c.path;
    }
}

}  // namespace
