#pragma once

#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QTabWidget;

namespace kw {

class HelpBrowser : public QTextBrowser {
  Q_OBJECT
public:
  HelpBrowser(QHelpEngine* engine, QWidget* parent);
  QVariant loadResource(int type, const QUrl& name) override;

private:
  QHelpEngine* engine_;
};

// The help viewer: contents, full-text search and the page browser.
class HelpWindow : public QWidget {
  Q_OBJECT
public:
  explicit HelpWindow(const QString& collectionFile, QWidget* parent = nullptr);
  ~HelpWindow() override;

  void showContext(int context);
  void showSearch();

  int currentContext() const { return currentContext_; }
  bool searchShown() const;
  QUrl currentPage() const;

signals:
  // The user closed the window (it is hidden, not deleted).
  void closed();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QHelpEngine* engine_;
  QTabWidget* tabs_;
  HelpBrowser* browser_;
  int currentContext_ = 0;
};

} // namespace kw
