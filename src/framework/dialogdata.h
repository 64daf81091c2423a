// The state of a dialog without its widgets: the text of each box and the integer members bound
// to boxes. Members are written in decimal when the dialog opens and read back, in binding
// order, on "Aceptar"; "Cancelar" reads nothing.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace zento {

// The text of each box of a dialog, by control id.
using BoxTexts = std::map<int, QString>;

// A whole decimal number within 32 bits: blanks around it and one leading sign are allowed;
// anything else, an empty text and a value out of range are not.
std::optional<std::int32_t> parseWholeNumber(QStringView text);

// The message that refuses a box whose text is not such a number.
QString wholeNumberMessage();

// Why "Aceptar" keeps the dialog open: the box to correct and what to tell the user.
struct Refusal {
    int controlId;
    QString message;
};

class DialogData {
public:
    DialogData() = default;
    DialogData(const DialogData&) = delete; // the bindings point into the object itself
    DialogData& operator=(const DialogData&) = delete;

    const BoxTexts& boxes() const { return m_boxes; }
    void setBoxes(BoxTexts boxes) { m_boxes = std::move(boxes); }
    QString boxText(int controlId) const;
    void setBoxText(int controlId, QString text) { m_boxes[controlId] = std::move(text); }

    // Writes every bound member into its box.
    void open();
    // Reads the boxes in binding order into their members and stops at the first text that is
    // not a whole number (members bound before it already hold their new values, those after it
    // are untouched); then lets check() refuse the values. nullopt, and accepted(), when neither
    // refused.
    std::optional<Refusal> accept();
    // Closes without reading anything.
    void cancel() { m_accepted = false; }
    bool accepted() const { return m_accepted; }

protected:
    virtual ~DialogData() = default;
    // The order of the calls is the order in which accept() reads the boxes.
    void bindInteger(int controlId, std::int32_t& member);
    // Values that are whole numbers but cannot be used; none by default.
    virtual std::optional<Refusal> check() const { return std::nullopt; }

private:
    BoxTexts m_boxes;
    std::vector<std::pair<int, std::int32_t*>> m_integers;
    bool m_accepted = false;
};

} // namespace zento
