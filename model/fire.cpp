#include "zone_math.h"
