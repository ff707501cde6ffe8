#pragma once
// Number texts shared by the windows and the headless runner: the model's conversions
// (model/number_text.h), under the report's names its callers use.

#include "model/number_text.h"

namespace zfreport {

using zf::GeneralNumberText;
using zf::NumberText;

}  // namespace zfreport
