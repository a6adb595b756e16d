#include "app/window/edit_history.h"

#include <QShortcut>
#include <QUndoCommand>
#include <QUndoStack>

#include <memory>

// One user action. Snapshots are whole (about 24 KB each), so the stack is
// bounded by kUndoLimit.
class ConfigEdit : public QUndoCommand {
public:
    static constexpr int kMergeableId = 0x7e57;

    ConfigEdit(EditHistory& history, const QString& text, std::unique_ptr<KeypadConfig::Snapshot> before,
               std::unique_ptr<KeypadConfig::Snapshot> after, const KeypadConfig::Difference& changed,
               EditView viewBefore, EditView viewAfter, EditHistory::Generations generations, int mergeKey)
        : QUndoCommand(text), History(history), Before(std::move(before)), After(std::move(after)),
          Changed(changed), ViewBefore(std::move(viewBefore)), ViewAfter(std::move(viewAfter)),
          Generations(generations), MergeKey(mergeKey)
    {
    }

    void undo() override { History.apply(*Before, ViewBefore, Changed, Generations); }
    void redo() override
    {
        // The edit itself already ran when the step was pushed.
        if (Pushed)
            History.apply(*After, ViewAfter, Changed, Generations);
        Pushed = true;
    }
    int id() const override { return MergeKey != 0 ? kMergeableId : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        auto* next = static_cast<const ConfigEdit*>(other);
        if (next->MergeKey != MergeKey || next->Generations != Generations)
            return false;
        *After = *next->After;
        ViewAfter = next->ViewAfter;
        Changed |= next->Changed;
        return true;
    }

private:
    EditHistory& History;
    std::unique_ptr<KeypadConfig::Snapshot> Before;
    std::unique_ptr<KeypadConfig::Snapshot> After;
    KeypadConfig::Difference Changed;
    EditView ViewBefore;
    EditView ViewAfter;
    EditHistory::Generations Generations;
    int MergeKey;
    bool Pushed = false;
};

EditHistory::EditHistory(KeypadConfig& config, QObject* parent)
    : QObject(parent), Config(config), Stack(new QUndoStack(this))
{
    Stack->setUndoLimit(kUndoLimit);
}

EditHistory::Quiet::Quiet(EditHistory* history) : History(history)
{
    if (History)
        ++History->QuietDepth;
}

EditHistory::Quiet::~Quiet()
{
    if (History)
        --History->QuietDepth;
}

bool EditHistory::record(const QString& text, const std::function<void()>& edit, int mergeKey)
{
    if (Depth > 0 || QuietDepth > 0) {
        edit();
        return false;
    }
    auto before = std::make_unique<KeypadConfig::Snapshot>(Config.snapshot());
    EditView viewBefore = captureView ? captureView() : EditView();
    ++Depth;
    edit();
    --Depth;
    auto after = std::make_unique<KeypadConfig::Snapshot>(Config.snapshot());
    const KeypadConfig::Difference changed = KeypadConfig::difference(*before, *after);
    if (changed.empty())
        return false;
    EditView viewAfter = captureView ? captureView() : EditView();
    Stack->push(new ConfigEdit(*this, text, std::move(before), std::move(after), changed, std::move(viewBefore),
                               std::move(viewAfter), Now, mergeKey));
    return true;
}

void EditHistory::apply(const KeypadConfig::Snapshot& snapshot, const EditView& view,
                        const KeypadConfig::Difference& changed, const Generations& generations)
{
    using Marks = KeypadConfig::Marks;
    Config.restore(snapshot, changed, generations.records == Now.records ? Marks::AsSnapshot : Marks::ChangedAreUnsaved,
                   generations.leds == Now.leds ? Marks::AsSnapshot : Marks::ChangedAreUnsaved);
    if (showView) {
        const Quiet quiet(this);
        showView(view, changed);
    }
    emit restored();
}

void EditHistory::addShortcutsTo(QWidget* window)
{
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), window), &QShortcut::activated, this,
            &EditHistory::undo);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(keys, window), &QShortcut::activated, this, &EditHistory::redo);
}

void EditHistory::undo()
{
    if (Depth == 0)
        Stack->undo();
}

void EditHistory::redo()
{
    if (Depth == 0)
        Stack->redo();
}

int EditHistory::count() const { return Stack->count(); }
int EditHistory::index() const { return Stack->index(); }

void EditHistory::clear()
{
    Stack->clear();
    keypadWritten();
}

void EditHistory::keypadWritten()
{
    ++Now.records;
    ++Now.leds;
}
