#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: title with the version, what the program is for, the copyright notice with
// the web address (a click on it opens the web site), and the System Information button.
class AboutForm : public QDialog
{
    Q_OBJECT

public:
    // The title is the program's with its version, "Glimmerbox v1.04".
    AboutForm(QWidget *owner, const QString &title, float twipsPerPixelX, float twipsPerPixelY);

signals:
    // The web address was clicked.
    void linkActivated();
    // System Info... was pressed.
    void systemInfoRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load(const QString &title);

    float m_tppX;
    float m_tppY;
    QLabel *m_lblTitle;
    QLabel *m_lblDescription;
    QLabel *m_lblDisclaimer;
    QPushButton *m_cmdOK;
    QPushButton *m_cmdSysInfo;
};
