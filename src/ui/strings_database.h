#pragma once

#include "ui/strings.h"

namespace sondrix {

// Texts of the DataBase tab and the user database commands.
enum EDatabaseStringId : int {};

}  // namespace sondrix
