// The file list of the source file pane (filFile): FileListModel in a list
// view with extended selection. Enter is consumed and raises enterPressed.
#pragma once

#include <QListView>

class FileListModel;

class FileList : public QListView {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  FileListModel& files() const { return *m_model; }
  bool isSelected(int index) const;
  void setSelected(int index, bool selected);

 signals:
  void enterPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FileListModel* m_model;
};
