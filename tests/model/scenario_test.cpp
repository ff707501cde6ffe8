#include <gtest/gtest.h>
#include "zone_math.h"
