// A session on the in-memory platform with the text front-end, and the
// messages it showed.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "app/session.h"
#include "batch/text_screen.h"
#include "support/memory_platform.h"

namespace brovane {

struct SessionHarness {
    SessionHarness()
        : screen([this](std::string_view line) { printed.emplace_back(line); }),
          session(platform, screen) {
        screen.SetEvents(&session);
    }

    // The texts of the root items, in order.
    std::vector<std::string> RootTexts() {
        std::vector<std::string> texts;
        for (TreeItemHandle item : screen.Children(kTreeRoot)) {
            texts.push_back(screen.ItemText(item));
        }
        return texts;
    }

    // The lines message boxes print for the texts.
    static std::vector<std::string> Messages(std::initializer_list<std::string> texts) {
        std::vector<std::string> lines;
        for (const std::string& text : texts) {
            lines.push_back("message: " + text);
        }
        return lines;
    }

    MemoryPlatform platform;
    std::vector<std::string> printed;
    TextScreen screen;
    Session session;
};

}  // namespace brovane
