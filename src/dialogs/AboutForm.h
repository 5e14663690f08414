#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The About box: title with the version, what the program is for, the copyright notice with
// the web address (a click on it opens the web site), and the System Information button.
class AboutForm : public QDialog
{
    Q_OBJECT

public:
    struct Actions
    {
        QString title; // "Glimmerbox v1.04"
        std::function<void()> VisitMoonferryMenuItem_Click;
        std::function<void()> StartSysInfo;
    };

    AboutForm(QWidget *owner, Actions actions, float twipsPerPixelX, float twipsPerPixelY);


protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();

    Actions m_actions;
    float m_tppX;
    float m_tppY;
    QLabel *m_lblTitle;
    QLabel *m_lblDescription;
    QLabel *m_lblDisclaimer;
    QPushButton *m_cmdOK;
    QPushButton *m_cmdSysInfo;
};
