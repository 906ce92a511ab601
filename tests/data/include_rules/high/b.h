#pragma once
#include "low/a.h"
#include <unistd.h>
