#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// A small modal dialog that asks for one line of text. The caller sets the
// title, message and starting text, runs it modally and then reads PromptText.
class frmMisc : public QDialog
{
    Q_OBJECT

public:
    // The last result: the text as typed after OK, empty after Cancel or when
    // the dialog was closed by its window frame.
    static QString PromptText;

    explicit frmMisc(QWidget *parent = nullptr);

    void setMessage(const QString &message);
    void setText(const QString &text);

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void Form_Load();

    QLabel *m_lblMsg;
    QLineEdit *m_txtText;
    QPushButton *m_cmdOK;
    QPushButton *m_cmdCancel;
};
