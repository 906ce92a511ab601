#pragma once
#include <vector>
#include "high/b.h"
