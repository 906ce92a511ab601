#pragma once

#include <cstdint>

namespace sondrix {

// Result codes a module reports in param1 of an answer.
enum : uint32_t {
    RESULT_SUCCESS = 1,
    RESULT_FAILED = 2,
    RESULT_NOT_MASTER_MODE = 3,
    RESULT_USED_ID = 4,
    RESULT_INVALID_ID = 5,
    RESULT_DB_FULL = 6,
    RESULT_CAPTURE_TIMEOUT = 7,
    RESULT_INVALID_PARAMETER = 9,
    RESULT_MASTER_FULL = 10,
    RESULT_SENSOR_INIT_FAILED = 12,
    RESULT_CANCELED = 13,
    RESULT_DIFFERENT_FINGERPRINT = 14,
    RESULT_IDLE = 16,
    RESULT_TOO_LARGE_DATA = 17,
    RESULT_IDENTIFY_TIMEOUT = 18,
    RESULT_DB_NOT_EMPTY = 19,
    RESULT_WRONG_TEMPLATE_MODE = 20,
    RESULT_INVALID_DATA_SIZE = 21,
    RESULT_INVALID_DATA = 22,
    RESULT_EXTRACT_FAIL = 23,
    RESULT_NOT_SUPPORTED = 24,
    RESULT_CAPTURE_FAIL = 33,
};

// The text the common error report shows for a result code ("Error!!!" for
// codes without a text of their own).
const char* ResultText(uint32_t code);

}  // namespace sondrix
