#include "ui/strings.h"

#include <unordered_map>

namespace sondrix {

namespace {

const std::unordered_map<int, std::string>& Table() {
    static const std::unordered_map<int, std::string> table = {
        {IDS_TAB_MAIN, "Main"},
        {IDS_TAB_AUTH_USER, "Authentication&&User"},
        {IDS_TAB_CONFIGURATION, "Configuration"},
        {IDS_TAB_DATABASE, "DataBase"},
        {IDS_TAB_EXTRA, "Extra Functions"},
        {IDS_TAB_ABOUT, "About"},
        {IDS_FILE_SIZE_NOT_SUPPORTED, "This file size is not supported!!"},
        {IDS_FILE_NOT_EXISTED, "File is not existed!!"},
        {IDS_BITMAP_NOT_SUPPORTED, "This bitmap file is not supported!!"},
        {IDS_INVALID_FILE, "Invalid file!!!"},
        {IDS_NOT_SUPPORTED_FUNCTION, "Not supported function!!"},
        {IDS_NOT_SUPPORTED_FILE, "Not supported file!!"},
        {IDS_TOO_LONG_DATA, "Too Long Data!!"},
        {IDS_PLACE_FINGER, "Place your finger on the sensor."},
        {IDS_VERSION_LINE, "Sondrix Version 2.20"},
        {IDS_RANGE_HEX, "Please input the correct value. (Range: %x ~ %x)"},
        {IDS_GUARD_CONNECTION, "To use other functions, please make sure the connection. "},
        {IDS_GUARD_CONTINUOUS, "To use other functions, continuous capture should be stopped."},
        {IDS_GUARD_AUTO_ON, "To use other functions, Auto-On should be stopped. "},
        {IDS_GUARD_MASTER, "To access this menu, master authority is essentially required."},
        {IDS_GUARD_CAPTURING,
         "To use other functions, You should wait for finish of capturing or press cancel."},
        {IDS_CANNOT_OPEN_PORT, "Cannot open the port: "},
        {IDS_PROGRESS_WARNING, "Warning! Do not stop this process!"},
        {IDS_PROGRESS_CAUTION, "Caution! Firmware Updating now!!"},
        {IDS_TRACER_STANDARD, "Standard Mode (excepted: image, firmware, full option)"},
        {IDS_TRACER_ALL, "Show all packets."},
        {IDS_TRACER_DISABLED, "Packet Tracer function disabled."},
        {IDS_DOWNLOAD_OPTION, "Download Option"},
        {IDS_DOWNLOAD_SELECTED, "Download selected items only"},
        {IDS_DOWNLOAD_ALL, "Download all items"},
        {IDS_TEMPLATE_FORMAT, "Template Format"},
        {IDS_FORMAT_DRAVIK_OLD, "Dravik Old Format"},
        {IDS_FORMAT_DRAVIK, "Dravik Format"},
        {IDS_FORMAT_QDXA, "QDX-A Format"},
        {IDS_FORMAT_ISO, "ISO 19794-2 Format"},
        {IDS_FORMAT_ANSI, "ANSI 378 Format"},
        {IDS_PKT_CLEAR, "Pkt Clear"},
        {IDS_ABOUT_MENU, "&About Sondrix..."},
        {IDS_PORT_LOST, "The serial line is gone: "},
    };
    return table;
}

}  // namespace

const std::string& LoadString(int id) {
    static const std::string empty;
    auto it = Table().find(id);
    return it == Table().end() ? empty : it->second;
}

}  // namespace sondrix
