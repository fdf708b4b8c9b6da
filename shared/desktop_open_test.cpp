#include "shared/platform/desktop_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/platform/files.h"
#include "shared/test_support.h"

using namespace korvane;
using korvane::testing::TempDir;

// The desktop's opener as a script: what it does decides whether the
// document counts as opened (Help falls back to its own window when not).
TEST(OpenWithDesktop, AnswerOfTheOpener) {
    struct Case {
        const char* name;
        const char* body;  // "" : no opener at all
        bool opened;
    } cases[] = {
        {"opener ends well", "echo \"$1\" > \"$0.arg\"; exit 0", true},
        {"no method available (xdg-open status 3)", "exit 3", false},
        {"opener killed", "kill -9 $$", false},
        {"browser runs in the opener's place", "sleep 1; : > \"$0.done\"", true},
        {"no opener installed", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string opener = dir / "opener";
        if (*c.body) {
            WriteFileAtomic(opener, std::string("#!/bin/sh\n") + c.body + "\n");
            chmod(opener.c_str(), 0755);
        }
        EXPECT_EQ(OpenWithDesktop("/some/guide.html", 300, opener), c.opened);
        if (std::string(c.name) == "opener ends well") {
            EXPECT_EQ(ReadFileBytes(opener + ".arg"), "/some/guide.html\n");
        }
        // The browser left running ends by itself; no process of the test
        // outlives it.
        if (std::string(c.body).find(".done") != std::string::npos) {
            for (int i = 0; i < 500 && !FileExists(opener + ".done"); ++i) usleep(20000);
            usleep(200000);
        }
    }
}
