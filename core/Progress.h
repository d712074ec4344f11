#pragma once
// The small window that printing and the CSV export show while they run: a
// message, a bar from 0 to 100 and, for printing, the Abort button.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* owner = nullptr);

    QLabel* Msg;
    QProgressBar* ProgressBar1;
    QPushButton* btnCancel;

    // Moves the bar, clamped to its range; repaints only on a change, so a
    // caller may set it for every row.
    void SetPosition(int percent);

public slots:
    // Aborts the current print job and closes the window.
    void btnCancelClick();
    // Lets pending window messages run.
    void ProcessWinMessages();

protected:
    // Escape and the title bar's close act as the Abort button, and only
    // while it is there to press.
    void reject() override;
};
