// The GUI started on the in-memory platform, with every notification
// passing through a recorder: tree texts go on to the core, the rest is
// recorded and answered by the test, so that what a test checks does not
// depend on what the core's handlers do.
#pragma once

#include <QMessageBox>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/main_frame.h"
#include "gui/quorvel_app.h"
#include "support/memory_platform.h"

namespace brovane {

struct RecordingEvents : ScreenEvents {
    explicit RecordingEvents(ScreenEvents& coreEvents) : core(coreEvents) {}

    void OnTreeSelectionChanged(TreeItemInfo* info) override { selections.push_back(info); }
    bool OnTreeItemExpanding(TreeItemHandle item, TreeItemInfo*, bool expandedOnce) override {
        expansions.push_back({item, expandedOnce});
        return onExpanding ? onExpanding(item) : true;
    }
    std::string_view GetTreeItemText(const TreeItemInfo* info) override {
        return core.GetTreeItemText(info);
    }
    void OnTreeRightClick() override { Run(onTreeRightClick); }
    // "R<item data>C<column>", formatted afresh into one scratch text.
    std::string_view GetCellText(int column, std::uintptr_t itemData) override {
        ++cellRequests;
        highestItemData = std::max(highestItemData, itemData);
        scratch = "R" + std::to_string(itemData) + "C" + std::to_string(column);
        return scratch;
    }
    void OnListDoubleClick() override { Run(onListDoubleClick); }
    void OnListRightClick() override { Run(onListRightClick); }
    void OnCommand(int command) override { commands.push_back(command); }

    static void Run(const std::function<void()>& hook) {
        if (hook) {
            hook();
        }
    }

    struct Expansion {
        TreeItemHandle item;
        bool expandedOnce;
    };

    ScreenEvents& core;
    std::vector<int> commands;
    std::vector<TreeItemInfo*> selections;
    std::vector<Expansion> expansions;
    std::function<bool(TreeItemHandle)> onExpanding;
    std::function<void()> onTreeRightClick;
    std::function<void()> onListDoubleClick;
    std::function<void()> onListRightClick;
    long cellRequests = 0;
    std::uintptr_t highestItemData = 0;
    std::string scratch;
};

struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

struct GuiHarness {
    GuiHarness(unsigned floppies, unsigned hardDisks) : app(platform), events(app.GetSession()) {
        for (unsigned i = 0; i < floppies; ++i) {
            platform.AddFloppy(2880);
        }
        for (unsigned i = 0; i < hardDisks; ++i) {
            platform.AddHardDisk(20480);
        }
        app.Screen().SetMessageAnswerer([this](QMessageBox& box) {
            messages.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
            return answer;
        });
    }

    void Start() {
        app.InitInstance();
        app.Screen().SetEvents(&events);
    }

    CMainFrame& Frame() { return *app.MainFrame(); }
    ScreenOperations& Screen() { return app.Screen(); }

    MemoryPlatform platform;
    CQuorvelApp app;
    RecordingEvents events;
    std::vector<ShownMessage> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

}  // namespace brovane
