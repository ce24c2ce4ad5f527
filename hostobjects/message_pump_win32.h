// processMsg: a script in a long loop lets the window work meanwhile.
#pragma once

namespace kelpo {

// Dispatches every waiting message; true when the queue is empty, false
// after WM_QUIT (posted again for the application's own loop) or once a
// close was deferred while the script ran.
bool ProcessWaitingMessages();

}  // namespace kelpo
