#ifndef COMPLETE_H
#define COMPLETE_H

// The summary shown when a session has ended: final state of charge, the
// session's figures and "Confirm", which opens the thank-you popup.

#include <QWidget>

namespace Ui {
class Complete;
}

class Complete : public QWidget
{
    Q_OBJECT
public:
    explicit Complete(QWidget *parent = nullptr);
    ~Complete() override;

signals:
    void show_complete_child();

public slots:
    void InfoUpdate();
    void on_pushButton_confirm_clicked();

private:
    void retranslate();
    Ui::Complete *ui;
};

#endif // COMPLETE_H
