// Why the system refused a file operation, in the words every front end
// shows (UTF-8, Chinese): one wording per errno value, composed into a
// message by the caller ("无法打开文件“…”:" + the reason).
#pragma once

#include <string>

namespace tavrin {

// The reason for an errno value; one we have no words for is the system's
// own text.
std::string FailureText(int error);

}  // namespace tavrin
