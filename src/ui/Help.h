#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace kw {

class HelpWindow;

// The help navigation: every help call of the application opens the help window at a
// context number, or at its full-text search. The collection is compiled from help/ at
// build time and found beside the program or in the installed share folder.
class Help {
public:
  static Help& instance();

  void showContext(int context);
  void showSearch();

  // The window, once help was asked for (null before); closed by the user it is only hidden.
  HelpWindow* window() const;
  // Closes and destroys the window, after its search index has stopped being written. The
  // application calls it before it ends: a window still open at the end would leave the
  // indexing thread running while the process takes the database driver down.
  void closeWindow();
  // Where the compiled help collection is found; empty when there is none.
  static QString CollectionFile();

private:
  HelpWindow* ensureWindow();
  void present(HelpWindow* w);
  QPointer<HelpWindow> window_;
  // The modal dialog the help window was opened over; it gets the focus back when the
  // help window closes.
  QPointer<QWidget> returnTo_;
};

} // namespace kw

class QWidget;

namespace kw {
// F1 in the window (or control) opens the help at its context number.
void InstallHelpKey(QWidget* widget, int context);
} // namespace kw
