#pragma once

namespace kw {

// For tests that run the real program as a separate process: when the environment variable
// KESSELWERK_TEST_INPUT is set, lines read from standard input act as a user would, and the
// answers go to standard output, each ending with a line "fertig":
//   klick NAME     clicks the enabled button of that object name in the visible windows
//   schliessen NAME  closes the visible window of that object name, as its close button does
//   tabelle        the rows of the main window's table as shown ("Zeile" and the four cells,
//                  separated by tabs), then "oben N", the first row in view
//   meldung        the text of the message box in front, which is then closed with its
//                  default button ("keine" when there is none)
void InstallInputHookFromEnvironment();

} // namespace kw
