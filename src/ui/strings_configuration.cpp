#include "ui/strings_configuration.h"

namespace sondrix {

std::span<const SStringEntry> ConfigurationStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_CFG_RANGE_TIMEOUT, "Please input the correct value. (Range: %d ~ %d)"},
        {IDS_CFG_NUMERAL_ONLY, "Please input the numeral character only."},
        {IDS_CFG_SAVE_QUESTION, "Would you like to save currrent system information?"},
        {IDS_CFG_SAVED, "System options are successfully saved."},
        {IDS_CFG_SAVE_FAILED, "Failed to save system options."},
        {IDS_CFG_SET_SUCCEEDED, "Set system option succeeded!!"},
        {IDS_CFG_UNKNOWN_PARAMETER, "Succeeded! But unknown parameter."},
        {IDS_CFG_DEFAULTS_SUCCEEDED, "Set default system options succeeded!!"},
        {IDS_CFG_DEFAULTS_FAILED, "Set default system options failed!!"},
        {IDS_CFG_TEMPLATE_COUNT_SUCCEEDED, "Set and save template counts succeeded!!"},
        {IDS_CFG_TEMPLATE_COUNT_FAILED, "Set template counts failed!!"},
        {IDS_CFG_PASSWORDS_DIFFER,
         "Both passwords are not matched. Please retype your password in both boxes"},
        {IDS_CFG_PASSWORD_BOTH_BOXES, "Please type the password in both boxes"},
        {IDS_CFG_DELETE_PASSWORD_QUESTION, "Are you sure to delete master password?"},
        {IDS_CFG_GET_SENSOR_FAILED, "Get sensor option failed!!"},
        {IDS_CFG_GET_SECURITY_FAILED, "Get security level failed!!"},
        {IDS_CFG_GET_LATENT_FAILED, "Get latent and adaptive option failed!!"},
        {IDS_CFG_GET_LOG_FAILED, "Get log option failed!!"},
        {IDS_CFG_GET_DEFAULTS_SUCCEEDED, "Get default option succeeded!!"},
        {IDS_CFG_RANGE, "Please input the correct value. (Range: %d ~ %d)"},
        {IDS_CFG_SET_PASSWORD_SUCCEEDED, "Set master password succeeded!!"},
        {IDS_CFG_SET_PASSWORD_FAILED, "Set master password failed!!"},
        {IDS_CFG_DELETE_PASSWORD_SUCCEEDED, "Delete master password succeeded!!"},
        {IDS_CFG_DELETE_PASSWORD_FAILED, "Delete master password failed!!"},
    };
    return kTable;
}

}  // namespace sondrix
