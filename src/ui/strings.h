#pragma once

#include <string>

namespace sondrix {

// Every text the program shows, keyed by number. Numbers below 2000 are the
// resource numbers the texts have always had; texts that never had one are
// numbered from 2000 on.
enum EStringId : int {
    IDS_TAB_MAIN = 201,
    IDS_TAB_AUTH_USER = 202,
    IDS_TAB_CONFIGURATION = 203,
    IDS_TAB_DATABASE = 204,
    IDS_TAB_EXTRA = 205,
    IDS_TAB_ABOUT = 206,
    IDS_FILE_SIZE_NOT_SUPPORTED = 821,
    IDS_FILE_NOT_EXISTED = 822,
    IDS_BITMAP_NOT_SUPPORTED = 823,
    IDS_INVALID_FILE = 824,
    IDS_NOT_SUPPORTED_FUNCTION = 825,
    IDS_NOT_SUPPORTED_FILE = 826,
    IDS_TOO_LONG_DATA = 828,
    IDS_PLACE_FINGER = 906,
    IDS_VERSION_LINE = 1017,
    IDS_RANGE_HEX = 2000,
    IDS_GUARD_CONNECTION,
    IDS_GUARD_CONTINUOUS,
    IDS_GUARD_AUTO_ON,
    IDS_GUARD_MASTER,
    IDS_GUARD_CAPTURING,
    IDS_CANNOT_OPEN_PORT,
    IDS_PROGRESS_WARNING,
    IDS_PROGRESS_CAUTION,
    IDS_TRACER_STANDARD,
    IDS_TRACER_ALL,
    IDS_TRACER_DISABLED,
    IDS_DOWNLOAD_OPTION,
    IDS_DOWNLOAD_SELECTED,
    IDS_DOWNLOAD_ALL,
    IDS_TEMPLATE_FORMAT,
    IDS_FORMAT_DRAVIK_OLD,
    IDS_FORMAT_DRAVIK,
    IDS_FORMAT_QDXA,
    IDS_FORMAT_ISO,
    IDS_FORMAT_ANSI,
    IDS_PKT_CLEAR,
    IDS_ABOUT_MENU,
    IDS_PORT_LOST,
};

// The text of a string id; an unknown id gives an empty text.
const std::string& LoadString(int id);

}  // namespace sondrix
