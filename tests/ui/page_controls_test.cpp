#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/packet_tracer.h"
#include "app/sondrix_dlg.h"
#include "platform/port_map.h"
#include "platform/scripted_ui_host.h"
#include "ui/strings.h"

namespace sondrix {
namespace {

using D = CSondrixDlg;

class PageControlsTest : public ::testing::Test {
  protected:
    const CDialogModel& Page(int tab) { return dlg.Page(tab); }

    CMessageLoop loop{CMessageLoop::EClock::Virtual};
    CPortMap devices;
    CScriptedUiHost ui;
    CSondrixDlg dlg{loop, devices, ui};  // AddControl throws on a duplicate id
};

std::vector<int> Ranges(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> ids;
    for (auto [first, last] : ranges) {
        for (int id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST_F(PageControlsTest, EveryControlOfEveryPageExists) {
    const std::vector<std::pair<int, std::vector<int>>> pages = {
        {D::kTabMain, Ranges({{1013, 1019},
                              {1021, 1022},
                              {1026, 1037},
                              {1040, 1040},
                              {1089, 1089},
                              {1117, 1117},
                              {1119, 1119},
                              {1164, 1164}})},
        {D::kTabAuthUser,
         Ranges({{1005, 1011}, {1020, 1031}, {1057, 1058}, {1130, 1142}, {1165, 1165}})},
        {D::kTabConfiguration, Ranges({{1049, 1069}, {1071, 1082}, {1084, 1102}, {1104, 1106}})},
        {D::kTabDataBase, Ranges({{1085, 1086}, {1089, 1100}, {1118, 1118}, {1121, 1121}})},
        {D::kTabExtra, Ranges({{1031, 1041}, {1052, 1053}, {1115, 1128}, {1143, 1152}})},
        {D::kTabAbout, Ranges({{1150, 1156}, {1158, 1158}})},
    };
    for (const auto& [tab, ids] : pages) {
        for (int id : ids) {
            EXPECT_TRUE(Page(tab).Has(id)) << Page(tab).Name() << " lacks " << id;
        }
    }
}

TEST_F(PageControlsTest, EveryGroupIsOneOfThePageGroupCaptionsAndEachIsUsed) {
    const std::vector<std::pair<int, std::set<std::string>>> pages = {
        {D::kTabMain,
         {"Get image", "Continuous Capture", "Commands", "Module information",
          "Configuration to connect", "Quick-Menu"}},
        {D::kTabAuthUser,
         {"Fingerprint Matching", "Get Template", "Auto-On", "Firmware Update", "Master Authority",
          "Instant Matching", "User Modification", "User Registration", "User Deletion"}},
        {D::kTabConfiguration,
         {"Sensor", "Security Level", "Quality", "Time Option", "Wiegand", "Serial Channel",
          "User Option", "Function Option", "Master Password", "System Information"}},
        {D::kTabDataBase, {"Device", "Host"}},
        {D::kTabExtra,
         {"Custom data block Management", "Read custom data block", "Write custom data block",
          "Time and Date", "GPIO Configuration", "GPIO Test", "Packet Tracer Option", "Log"}},
        {D::kTabAbout, {"Packet Creator"}},
    };
    for (const auto& [tab, captions] : pages) {
        std::set<std::string> used;
        for (int id : Page(tab).ControlIds()) {
            const std::string& group = Page(tab).Control(id).group;
            if (!group.empty()) {
                EXPECT_TRUE(captions.count(group))
                    << Page(tab).Name() << " " << id << ": " << group;
                used.insert(group);
            }
        }
        EXPECT_EQ(used, captions) << Page(tab).Name();
    }
}

TEST_F(PageControlsTest, EveryCaptionAndComboRowComesFromTheStringTable) {
    std::set<std::string> table;
    for (int id = 0; id < 100000; ++id) {
        if (!LoadString(id).empty()) {
            table.insert(LoadString(id));
        }
    }
    // Numbers (GPIO pins, a template count) are values, not texts to translate.
    const auto fromTable = [&](const std::string& text) {
        return table.count(text) > 0 ||
               (!text.empty() && std::all_of(text.begin(), text.end(), ::isdigit));
    };
    for (int tab = 0; tab < D::kTabCount; ++tab) {
        for (int id : Page(tab).ControlIds()) {
            const SControl& c = Page(tab).Control(id);
            const bool captioned = c.kind == EControlKind::Button ||
                                   c.kind == EControlKind::CheckBox ||
                                   c.kind == EControlKind::Radio;
            EXPECT_TRUE(!captioned || fromTable(c.text))
                << Page(tab).Name() << " " << id << ": " << c.text;
            EXPECT_TRUE(c.label.empty() || fromTable(c.label))
                << Page(tab).Name() << " " << id << ": " << c.label;
            EXPECT_TRUE(c.kind != EControlKind::Combo || c.selection == 0)
                << Page(tab).Name() << " " << id;
            for (const std::string& item : c.items) {
                EXPECT_TRUE(fromTable(item)) << Page(tab).Name() << " " << id << ": " << item;
            }
        }
    }
}

TEST_F(PageControlsTest, CombosListTheirRowsInOrder) {
    const std::vector<std::string> channelRates = {"115200 bps", "57600 bps", "38400 bps",
                                                   "19200 bps",  "14400 bps", "9600 bps"};
    const std::vector<std::string> gpioPorts = {"0", "1", "2", "3", "4", "5", "6", "7"};
    struct SCase {
        int tab;
        int id;
        std::vector<std::string> items;
    };
    const std::vector<SCase> cases = {
        {D::kTabMain,
         1119,
         {"9600 bps", "14400 bps", "19200 bps", "38400 bps", "57600 bps", "115200 bps"}},
        {D::kTabMain, 1117, {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}},
        {D::kTabAuthUser,
         1130,
         {"Authority modification.", "Password modification.", "User Security Level modification.",
          "1st Finger template modification with same finger from host.",
          "1st Finger template modification with different finger from host.",
          "2nd Finger template modification with same finger from host.",
          "2nd Finger template modification with different finger from host.",
          "1st Finger template modification with same finger from sensor.",
          "1st Finger template modification with different finger from sensor.",
          "2nd Finger template modification with same finger from sensor.",
          "2nd Finger template modification with different finger from sensor."}},
        {D::kTabConfiguration, 1077, {"Not Used", "26 Bit", "34 Bit"}},
        {D::kTabConfiguration, 1086, channelRates},
        {D::kTabConfiguration, 1088, channelRates},
        {D::kTabConfiguration, 1092, {"2"}},
        {D::kTabConfiguration, 1090, {"Not Used", "HLX-SA Mode", "HLX-SB Mode"}},
        {D::kTabDataBase, 1121, {"Device", "Host"}},
        {D::kTabExtra, 1150, gpioPorts},
        {D::kTabExtra, 1143, gpioPorts},
        {D::kTabExtra,
         1151,
         {"Input Normal", "Input Register High", "Input Register Low", "Input Delete High",
          "Input Delete Low", "Input Identify High", "Input Identify Low", "Input Wiegand 0 (N/A)",
          "Input Wiegand 1 (N/A)", "Output Normal", "Output High in Success",
          "Output Low in Success", "Output High in Fail", "Output Low in Fail",
          "Output Capturing Status", "Output FP Status", "Output Wiegand 0 (N/A)",
          "Output  Wiegand 1 (N/A)", "Disable Selected Pin"}},
        {D::kTabExtra, 1152, {"Read", "High", "Low"}},
        {D::kTabExtra,
         1127,
         {"Standard Mode (excepted: image, firmware, full option)", "Show all packets.",
          "Packet Tracer function disabled."}},
    };
    for (const SCase& c : cases) {
        const SControl& combo = Page(c.tab).Control(c.id);
        EXPECT_EQ(combo.kind, EControlKind::Combo) << c.id;
        EXPECT_EQ(combo.items, c.items) << Page(c.tab).Name() << " " << c.id;
        EXPECT_EQ(combo.selection, 0) << c.id;
    }
}

TEST_F(PageControlsTest, TextsLabelsTooltipsAndGroupsAreTheProgramsTexts) {
    enum EField { kText, kLabel, kTooltip, kGroup };
    struct SCase {
        int tab;
        int id;
        EField field;
        std::string expected;
    };
    const std::vector<SCase> cases = {
        {D::kTabMain, 1026, kTooltip, "Drawing fingerprint image on the screen."},
        {D::kTabMain, 1027, kText, "Capture Start"},
        {D::kTabMain, 1027, kTooltip,
         "Drawing fingerprint image continuously on the screen. results are shown below."},
        {D::kTabMain, 1030, kTooltip, "Make a connection with module."},
        {D::kTabMain, 1034, kTooltip, "1:1 Matching with user DB"},
        {D::kTabMain, 1040, kText, "Enter Master"},
        {D::kTabMain, 1040, kTooltip,
         "Master authority is required to access Configuration, DB and Extra menu."},
        {D::kTabMain, 1037, kTooltip, "Delete selected user."},
        {D::kTabMain, 1021, kLabel, "Succeeded:"},
        {D::kTabMain, 1021, kText, "0"},
        {D::kTabMain, 1013, kLabel, "Device Name :"},
        {D::kTabMain, 1013, kText, ""},
        {D::kTabMain, 1119, kLabel, "Baud Rate:"},
        {D::kTabMain, 1117, kGroup, "Configuration to connect"},
        {D::kTabMain, 1017, kGroup, "Module information"},
        {D::kTabAuthUser, 1010, kTooltip,
         "Get a template data from module.\nThe data will be stored as a file."},
        {D::kTabAuthUser, 1140, kTooltip,
         "During registration process, same fingerprint input(verification) is not required."},
        {D::kTabAuthUser, 1135, kTooltip, "Delete all users of module."},
        {D::kTabAuthUser, 1021, kText, "Enter Master Mode"},
        {D::kTabAuthUser, 1011, kText, "Auto-On Enable"},
        {D::kTabAuthUser, 1130, kLabel, "Type of Modification:"},
        {D::kTabAuthUser, 1138, kLabel, "PW:"},
        {D::kTabAuthUser, 1141, kGroup, "User Registration"},
        {D::kTabConfiguration, 1089, kTooltip, "Communicate with USB interface. (Reboot required)"},
        {D::kTabConfiguration, 1097, kTooltip, "Set default values of system information."},
        {D::kTabConfiguration, 1071, kLabel, "IdentifyTimeout (Unit: 100msec)"},
        {D::kTabConfiguration, 1055, kLabel, "Veirification"},
        {D::kTabConfiguration, 1102, kText, "Set  Password"},
        {D::kTabConfiguration, 1064, kText, "Set"},
        {D::kTabConfiguration, 1093, kGroup, "Function Option"},
        {D::kTabDataBase, 1121, kTooltip, "Selected item will be shown on the list window."},
        {D::kTabDataBase, 1097, kTooltip, "Delete all master authority items."},
        {D::kTabDataBase, 1118, kTooltip, "Cancel all works."},
        {D::kTabDataBase, 1121, kLabel, "List Type:"},
        {D::kTabDataBase, 1094, kGroup, "Device"},
        {D::kTabDataBase, 1099, kGroup, "Host"},
        {D::kTabExtra, 1039, kTooltip, "Typed time or system's time will be applied to module"},
        {D::kTabExtra, 1148, kTooltip, "Download selected items as a file."},
        {D::kTabExtra, 1149, kTooltip, "Delete all logs of module."},
        {D::kTabExtra, 1031, kLabel, "Current time on the module :"},
        {D::kTabExtra, 1128, kLabel, "N:"},
        {D::kTabExtra, 1115, kText, "0"},
        {D::kTabExtra, 5000, kText, "(Maximum data size: 256 Byte)"},
        {D::kTabExtra, 1127, kGroup, "Packet Tracer Option"},
        {D::kTabAbout, 1153, kLabel, "Data Size"},
        {D::kTabAbout, 5000, kText,
         "Please input the HEXA values to communicate correctly. ('0x' should be omitted)"},
        {D::kTabAbout, 5001, kText, "Sondrix Version 2.20"},
        {D::kTabAbout, 1156, kGroup, "Packet Creator"},
    };
    for (const SCase& c : cases) {
        const SControl& control = Page(c.tab).Control(c.id);
        const std::string* fields[] = {&control.text, &control.label, &control.tooltip,
                                       &control.group};
        EXPECT_EQ(*fields[c.field], c.expected) << Page(c.tab).Name() << " " << c.id;
    }
}

TEST_F(PageControlsTest, PageCreationState) {
    struct SCase {
        int tab;
        std::vector<int> ids;
        bool enabled, visible, checked;
    };
    const std::vector<SCase> cases = {
        // Main: the command-button set and the master buttons wait for a connection.
        {D::kTabMain,
         {1026, 1028, 1029, 1027, 1032, 1031, 1033, 1034, 1035, 1040, 1036, 1037},
         false,
         true,
         false},
        {D::kTabMain, {1164, 1089}, false, false, false},
        {D::kTabMain, {1030, 1117, 1119}, true, true, false},
        // Authentication&User, initial state steps 1 to 3.
        {D::kTabAuthUser,
         {1137, 1138, 1139, 1140, 1142, 1136, 1130, 1132, 1131, 1133, 1134, 1135},
         false,
         true,
         false},
        {D::kTabAuthUser, {1141}, false, true, true},
        {D::kTabAuthUser, {1057, 1024, 1027}, true, true, true},
        {D::kTabAuthUser, {1058, 1031, 1025, 1026, 1028, 1029, 1030}, true, true, false},
        {D::kTabAuthUser,
         {1005, 1006, 1010, 1011, 1021, 1007, 1008, 1009, 1020},
         true,
         true,
         false},
        {D::kTabAuthUser, {1165}, false, false, false},
        // Configuration.
        {D::kTabConfiguration, {1089, 1088, 1087, 1080, 1081, 1074, 1076}, false, true, false},
        {D::kTabConfiguration, {1086, 1085, 1077, 1075, 1082, 1078, 1095, 1100}, true, true, false},
        // DataBase.
        {D::kTabDataBase, {1098, 1099, 1100}, false, true, false},
        {D::kTabDataBase,
         {1090, 1091, 1092, 1093, 1094, 1095, 1096, 1097, 1086, 1121},
         true,
         true,
         false},
        // Extra Functions.
        {D::kTabExtra, {1116}, true, true, true},
        {D::kTabExtra, {1144, 1145, 1146, 1147, 1041, 1040, 1039, 1127}, true, true, false},
        {D::kTabExtra, {1128, 1033, 1034, 1035, 1036, 1037, 1038}, false, true, false},
        // About.
        {D::kTabAbout, {1153}, false, true, false},
        {D::kTabAbout, {1150, 1155, 1156, 1158}, true, true, false},
    };
    for (const SCase& c : cases) {
        for (int id : c.ids) {
            const SControl& control = Page(c.tab).Control(id);
            EXPECT_EQ(control.enabled, c.enabled) << Page(c.tab).Name() << " " << id;
            EXPECT_EQ(control.visible, c.visible) << Page(c.tab).Name() << " " << id;
            EXPECT_EQ(control.checked, c.checked) << Page(c.tab).Name() << " " << id;
        }
    }
}

TEST_F(PageControlsTest, KindsLimitsMasksAndReadOnlyFields) {
    struct SCase {
        int tab;
        int id;
        EControlKind kind;
        size_t limit;
        bool password, readOnly;
    };
    const std::vector<SCase> cases = {
        {D::kTabMain, 1019, EControlKind::Picture, 0, false, false},
        {D::kTabMain, 1022, EControlKind::Static, 0, false, false},
        {D::kTabAuthUser, 1137, EControlKind::Edit, 16, false, false},
        {D::kTabAuthUser, 1138, EControlKind::Edit, 16, true, false},
        {D::kTabAuthUser, 1132, EControlKind::Edit, 16, false, false},
        {D::kTabAuthUser, 1133, EControlKind::Edit, 16, false, false},
        {D::kTabAuthUser, 1139, EControlKind::CheckBox, 0, false, false},
        {D::kTabAuthUser, 1142, EControlKind::Radio, 0, false, false},
        {D::kTabConfiguration, 1100, EControlKind::Edit, 16, true, false},
        {D::kTabConfiguration, 1101, EControlKind::Edit, 16, true, false},
        {D::kTabConfiguration, 1049, EControlKind::Edit, 0, false, false},
        {D::kTabDataBase, 1085, EControlKind::List, 0, false, false},
        {D::kTabExtra, 1118, EControlKind::Edit, 0, false, true},
        {D::kTabExtra, 1121, EControlKind::Edit, 0, false, true},
        {D::kTabExtra, 1122, EControlKind::Edit, 256, false, false},
        {D::kTabExtra, 1033, EControlKind::Edit, 4, false, false},
        {D::kTabExtra, 1038, EControlKind::Edit, 2, false, false},
        {D::kTabExtra, 1128, EControlKind::Edit, 5, false, false},
        {D::kTabAbout, 1158, EControlKind::Picture, 0, false, false},
        {D::kTabAbout, 1150, EControlKind::Edit, 8, false, false},
        {D::kTabAbout, 1154, EControlKind::Edit, 8, false, false},
        {D::kTabAbout, 1155, EControlKind::Edit, 0, false, false},
    };
    for (const SCase& c : cases) {
        const SControl& control = Page(c.tab).Control(c.id);
        EXPECT_EQ(control.kind, c.kind) << Page(c.tab).Name() << " " << c.id;
        EXPECT_EQ(control.limit, c.limit) << Page(c.tab).Name() << " " << c.id;
        EXPECT_EQ(control.password, c.password) << Page(c.tab).Name() << " " << c.id;
        EXPECT_EQ(control.readOnly, c.readOnly) << Page(c.tab).Name() << " " << c.id;
    }
    EXPECT_NO_THROW(dlg.dbDlg.List(CDbDlg::kList));
}

TEST_F(PageControlsTest, EveryPageStartsInTheStateOfAFreshWindow) {
    const CImageDlg& main = dlg.imageDlg;
    EXPECT_EQ(main.imageWidth, 4);
    EXPECT_EQ(main.imageHeight, 4);
    ASSERT_EQ(main.imageBuffer.size(), 360004u);
    EXPECT_EQ(std::count(main.imageBuffer.begin(), main.imageBuffer.begin() + 120000, 0xFF),
              120000);
    EXPECT_EQ(main.greyPalette[200], (SRgb{200, 200, 200}));
    EXPECT_EQ(dlg.userDlg.logOption, 3);
    EXPECT_EQ(dlg.userDlg.TracerMode(), 0);
    EXPECT_EQ(dlg.dbDlg.masterFlags.size(), 30000u);
    EXPECT_EQ(LoadString(IDS_BAUD_9600), "9600 bps");  // resource numbers kept
    EXPECT_EQ(LoadString(458), "COM8");
    EXPECT_EQ(LoadString(522), "Not Used");
}

TEST_F(PageControlsTest, TracerOptionComboSetsTheTracerMode) {
    CUserDlg& extra = dlg.userDlg;
    extra.Select(CUserDlg::kTracerOption, 1);
    EXPECT_EQ(extra.TracerMode(), 1);
    EXPECT_TRUE(CPacketTracer::Accepts(extra.TracerMode(), true));
    extra.Select(CUserDlg::kTracerOption, 2);
    EXPECT_EQ(extra.TracerMode(), 2);
    EXPECT_FALSE(CPacketTracer::Accepts(extra.TracerMode(), false));
    extra.Select(CUserDlg::kTracerOption, 0);
    EXPECT_EQ(extra.TracerMode(), 0);
}

}  // namespace
}  // namespace sondrix

TEST(StringsTest, NoTwoAreasGiveOneIdDifferentTexts) {
    EXPECT_TRUE(sondrix::ConflictingStringIds().empty());
}
