#pragma once

#include <QIcon>

namespace platform {

// The small pictures of the navigator's buttons, drawn here: 0 first, 1 prior, 2 next,
// 3 last, 4 insert, 5 delete, 6 edit, 7 post, 8 cancel, 9 refresh.
QIcon navigatorIcon(int button);

} // namespace platform
