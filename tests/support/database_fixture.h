#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sondrix_dlg.h"
#include "files/files_test_support.h"
#include "link/command_table.h"
#include "link/option_numbers.h"
#include "platform/scripted_ui_host.h"
#include "sim/sim_database.h"
#include "sim/sim_matching.h"
#include "support/sim_session.h"

namespace sondrix::test {

// The program core connected in master mode to the simulated module, in
// process on virtual time, with downloaded records going to a fresh folder.
class CDatabaseFixture : public ::testing::Test, protected CSimSession {
  protected:
    void Connect(const char* model = "HLX-M18", int templateMode = 0) {
        module.Options()[kOptionTemplateMode] = static_cast<uint32_t>(templateMode);
        ASSERT_TRUE(ConnectTo(model));
        dlg.masterMode = 1;
        module.Matching().SetMasterMode(true);
        dlg.templateMode = templateMode;
        Page().SetRecordFolder(folder.Path());
        module.ClearRequests();
        ui.ClearRecords();
    }
    // Runs until every answer has been handled.
    void Settle() { loop.RunFor(5000); }

    CDbDlg& Page() { return dlg.dbDlg; }
    CListData& List() { return dlg.dbDlg.List(CDbDlg::kList); }
    std::vector<std::string> Column(size_t column) {
        std::vector<std::string> cells;
        for (size_t row = 0; row < List().RowCount(); ++row) {
            cells.push_back(List().Row(row).cells.at(column));
        }
        return cells;
    }
    void Check(std::initializer_list<size_t> rows) {
        for (size_t row : rows) {
            List().SetChecked(row, true);
        }
    }
    void GetList() {
        Page().Click(CDbDlg::kGetList);
        Settle();
    }
    std::vector<SSimRequest> Sent(uint32_t command) const {
        std::vector<SSimRequest> sent;
        for (const SSimRequest& request : module.Requests()) {
            if (request.command == command) {
                sent.push_back(request);
            }
        }
        return sent;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.Boxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }
    std::string Line() const { return dlg.Text(CSondrixDlg::kMessageLine); }
    SSimUser& User(const std::string& id) {
        SSimUser* user = module.UserDb().Find(std::vector<uint8_t>(id.begin(), id.end()));
        if (user == nullptr) {
            throw std::runtime_error("no user " + id);
        }
        return *user;
    }
    static std::string IdOf(const SSimUser& user) { return {user.id.begin(), user.id.end()}; }

    CTempFolder folder;
};

}  // namespace sondrix::test
