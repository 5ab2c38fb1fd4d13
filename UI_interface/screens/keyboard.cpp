#include "keyboard.h"
#include "ui_keyboard.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>

QString strContent;
QString str_unit;
int page_index = 0;

namespace {
const QString entryGap = "    "; // between the digits and the unit
}

Keyboard::Keyboard(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::Keyboard), button_group(new QButtonGroup(this))
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, keyboard_window_sty, 12, 6, 40, 29);
    ui->frame->lower();

    ui->label_head->setGeometry(unitRect(0, 1, 40, 3));
    ui->label_head->setText(keyboard_head_str1);

    ui->lineEdit->setGeometry(unitRect(4, 4.5, 32, 4));
    // A little room so the first digit does not touch the field's edge.
    ui->lineEdit->setStyleSheet(keyboard_lineEdit_sty + "padding-left:16px;");
    // The keys are the only input: no typing, pasting or dropping into the field.
    ui->lineEdit->setContextMenuPolicy(Qt::NoContextMenu);
    ui->lineEdit->setDragEnabled(false);
    ui->lineEdit->setAcceptDrops(false);
    ui->lineEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    ui->lineEdit->installEventFilter(this);
    connect(ui->lineEdit, &QLineEdit::cursorPositionChanged, this, &Keyboard::keepCursorInDigits);
    connect(ui->lineEdit, &QLineEdit::selectionChanged, this, &Keyboard::keepCursorInDigits);

    // 1 2 3 / 4 5 6 / 7 8 9 / . 0 backspace, as on a phone.
    QPushButton *const keys[12] = {ui->pushButton_1, ui->pushButton_2, ui->pushButton_3, ui->pushButton_4,
                                   ui->pushButton_5, ui->pushButton_6, ui->pushButton_7, ui->pushButton_8,
                                   ui->pushButton_9, ui->pushButton_dot, ui->pushButton_0, ui->pushButton_backspace};
    placeKeypadKeys(keys, keyboard_pushbutton_sty);
    ui->pushButton_backspace->setStyleSheet(keyboard_backspace_sty);

    QPushButton *const digits[10] = {ui->pushButton_0, ui->pushButton_1, ui->pushButton_2, ui->pushButton_3,
                                     ui->pushButton_4, ui->pushButton_5, ui->pushButton_6, ui->pushButton_7,
                                     ui->pushButton_8, ui->pushButton_9};
    for (int d = 0; d < 10; ++d)
        button_group->addButton(digits[d], d);
    button_group->addButton(ui->pushButton_dot, 10);
    button_group->addButton(ui->pushButton_backspace, 11);
    connect(button_group, &QButtonGroup::idClicked, this, &Keyboard::num_buttonClicked);

    placeKeypadButtons(ui->pushButton_cancel, keyboar_cancel_sty, ui->pushButton_confirm, keyboar_confirm_sty);
}

Keyboard::~Keyboard()
{
    delete ui;
}

// Sets the entry text and puts the cursor at `cursor`, within the digits.
void Keyboard::showEntry(int cursor)
{
    ui->lineEdit->setText(strContent + entryGap + str_unit);
    ui->lineEdit->setCursorPosition(qBound(0, cursor, strContent.size()));
}

// A touch may land on the blanks or the unit after the digits; the keys
// would then pad the entry with blanks, so the cursor is pulled back.
void Keyboard::keepCursorInDigits()
{
    QLineEdit *edit = ui->lineEdit;
    if (edit->hasSelectedText() || edit->cursorPosition() > strContent.size())
        edit->setCursorPosition(qMin(edit->cursorPosition(), strContent.size()));
}

bool Keyboard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lineEdit) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Keyboard::page_show(int which)
{
    show();
    activateWindow();
    if (which == 1) {
        ui->label_head->setText(keyboard_head_str1);
        str_unit = "€";
        page_index = 1;
    } else if (which == 2) {
        ui->label_head->setText(keyboard_head_str2);
        str_unit = "kWh";
        page_index = 2;
    }
    strContent = "0";
    ui->lineEdit->setFocus();
    showEntry(1);
}

void Keyboard::page_hide()
{
    hide();
}

void Keyboard::num_buttonClicked(int id)
{
    const int p = qBound(0, ui->lineEdit->cursorPosition(), strContent.size());
    const QString clampText = QString::number(double(Max_SetKwh), 'f', 0);

    if (id >= 0 && id <= 9) {
        if (strContent.toFloat() >= Max_SetKwh)
            return;
        const QString d = QString::number(id);
        if (strContent.left(p) == "0") {
            // A lone leading zero gives way to the first digit: "0" then 7 is "7".
            strContent = d + strContent.mid(1);
            showEntry(1);
        } else {
            strContent.insert(p, d);
            if (strContent.toFloat() > Max_SetKwh)
                strContent = clampText;
            showEntry(p + 1);
        }
    } else if (id == 10) {
        if (strContent.toFloat() >= Max_SetKwh)
            return;
        if (strContent.contains('.')) {
            ui->lineEdit->setCursorPosition(p);
        } else if (p == 0) {
            strContent.insert(0, "0.");
            showEntry(2);
        } else {
            strContent.insert(p, '.');
            if (strContent.toFloat() > Max_SetKwh)
                strContent = clampText;
            showEntry(p + 1);
        }
    } else if (id == 11) {
        if (p > 0) {
            strContent.remove(p - 1, 1);
            showEntry(p - 1);
        } else {
            ui->lineEdit->setCursorPosition(p);
        }
    } else {
        return;
    }
    ui->lineEdit->setFocus();
}

void Keyboard::on_pushButton_confirm_clicked()
{
    if (page_index == 1) {
        str_amount = strContent;
        f_CusSetAmount = strContent.toFloat();
    } else if (page_index == 2) {
        str_quantity = strContent;
        f_CusSetkWh = strContent.toFloat();
    }
    if (page_index == 1 || page_index == 2)
        emit signal_cusconfirm(page_index);
    emit jump_fixedcharge();
}

void Keyboard::on_pushButton_cancel_clicked()
{
    strContent = "0";
    ui->lineEdit->setText(strContent + entryGap + str_unit);
    ui->lineEdit->setFocus();
    emit jump_fixedcharge();
}
