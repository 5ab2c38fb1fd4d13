#ifndef KEYBOARD_H
#define KEYBOARD_H

#include <QString>
#include <QWidget>

class QButtonGroup;

namespace Ui {
class Keyboard;
}

// Keypad state: the typed digits, the unit shown after them, and which value
// is being edited (1 = amount, 2 = quantity).
extern QString strContent;
extern QString str_unit;
extern int page_index;

// Numeric keypad popup for a custom money amount or energy quantity, capped
// at Max_SetKwh. A frameless dialog window of its own, drawn as a white card.
class Keyboard : public QWidget
{
    Q_OBJECT
public:
    explicit Keyboard(QWidget *parent = nullptr);
    ~Keyboard() override;

signals:
    void signal_cusconfirm(int which);
    void jump_fixedcharge();

public slots:
    void page_show(int which);
    void on_pushButton_cancel_clicked();
    void page_hide();
    void num_buttonClicked(int id);
    void on_pushButton_confirm_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retranslate();
    void showEntry(int cursor);
    void keepCursorInDigits();

    Ui::Keyboard *ui;
    QButtonGroup *button_group;
};

#endif // KEYBOARD_H
