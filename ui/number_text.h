#pragma once
// Number entry and display of the windows (placeholder until the editor lands).
#include <QString>
