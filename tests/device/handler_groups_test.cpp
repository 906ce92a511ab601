// The command table names the handler of every answer; each handler routes
// exactly the commands the table gives it, so neither list can drift.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/sondrix_dlg.h"
#include "link/command_table.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"

namespace sondrix {
namespace {

TEST(HandlerGroups, EveryCommandIsRoutedByTheHandlerItsRowNames) {
    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CPortMap devices;
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, devices, ui};
    const std::vector<std::pair<EHandlerGroup, CCommandHandler*>> handlers = {
        {EHandlerGroup::Connection, &dlg.connection},
        {EHandlerGroup::Matching, &dlg.matching},
        {EHandlerGroup::DBManagement, &dlg.dbManagement},
        {EHandlerGroup::Configuration, &dlg.configuration},
        {EHandlerGroup::SystemManagement, &dlg.systemManagement},
    };
    for (const SCommandInfo& row : CommandTable()) {
        for (const auto& [group, handler] : handlers) {
            EXPECT_EQ(handler->Routes(row.code), row.group == group)
                << row.name << " and handler group " << static_cast<int>(group);
        }
    }
}

}  // namespace
}  // namespace sondrix
