#pragma once
// The About box: the program's version, company and comments, read from the
// version block of the program's own executable.
#include "VerInfo.h"
#include <QDialog>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // Reads the version block of FileName (empty: the running executable);
    // the reader's errors leave the constructor and no box is made.
    explicit TAboutBox(QWidget* AOwner = nullptr, const QString& FileName = QString());
    ~TAboutBox() override;

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    QLabel* lblProduct;
    QLabel* lblVersion;
    QLabel* lblCompany;
    QLabel* lblComments;
    QPushButton* OKButton;

    const TVerInfoRes* VerInfo() const { return m_verInfo.get(); }

    void FormCreate(const QString& FileName);
    void FormShow();
    void FormClose();
    void OKButtonClick();

    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // Sizes the value column and the box to the labels' texts, centred on
    // the screen.
    void fitToText();
    std::unique_ptr<TVerInfoRes> m_verInfo;
};
