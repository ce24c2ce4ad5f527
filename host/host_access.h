// What the script objects reach of the running projector: the application
// and its main frame (null before the frame exists and after it is gone).
#pragma once

namespace kelpo {

class CMainFrame;
class CProjectorApp;

CProjectorApp* TheProjectorApp();
CMainFrame* TheMainFrame();

}  // namespace kelpo
