#pragma once

class QString;
class QWidget;

// Opens the help page of a help context (100 link dialog, 101 group dialog,
// 102 colours dialog; any other number opens the contents). The pages are
// installed as help/<page>.html next to the program and are shown in the
// desktop's browser. When no browser can be started, "Failed to launch
// help." is shown over parent. The caller stays as it was either way.
void OpenHelpContext(int context, QWidget* parent = nullptr);

// The installed page opened for a context (an absolute path).
QString HelpContextPage(int context);
