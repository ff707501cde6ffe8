#pragma once
// The run's warnings (report/model_warnings.h: rooms hotter than the fire room, an unreliable
// layer balance) above a results view, in the words the runner and the report use.

class QLabel;
class QString;

namespace zf {
class TzoneMath;
}

// Shows every warning of the finished run `zm` in `label`, one paragraph each beginning
// "Внимание:", on a pale yellow ground; hides the label when there is none.
void ShowRunWarnings(QLabel& label, const zf::TzoneMath& zm);

// Shows `text` (a stopped or failed run's banner) in `label` in bold on the ground of an
// undetermined verdict; hides the label when the text is empty.
void ShowRunEndBanner(QLabel& label, const QString& text);
