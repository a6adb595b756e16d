// set, clear and led: single edits, saved to the keypad at once.
#include "cli/arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/keypad_work.h"
#include "core/profile/action_words.h"

#include <QCommandLineParser>

#include <vector>

namespace {

// Refuses a key the connected board does not have: the keypad would store
// the record, but no key would ever send it.
int resolveKey(CliContext& context, const Board& board, const QString& name, int& slot)
{
    const QString problem = boardSlot(board, name, slot);
    return problem.isEmpty() ? ExitCode::kDone : context.fail(ExitCode::kUsage, problem);
}

const QString kLayerOption = QStringLiteral("layer");

void addLayerOption(QCommandLineParser& parser, const QString& defaultText)
{
    parser.addOption({kLayerOption, QStringLiteral("The layer, 1 to 3%1.").arg(defaultText), QStringLiteral("N")});
}

QString takeLayer(const QCommandLineParser& parser, int& layer)
{
    return parser.isSet(kLayerOption) ? parseLayer(parser.value(kLayerOption), layer) : QString();
}

class SetCommand : public Command {
public:
    QString name() const override { return QStringLiteral("set"); }
    QString synopsis() const override { return QStringLiteral("[--layer N] KEY ACTION..."); }
    QString summary() const override
    {
        return QStringLiteral("give one key or knob action a new assignment, saved at once");
    }
    void addOptions(QCommandLineParser& parser) override { addLayerOption(parser, QStringLiteral(" (default 1)")); }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        if (const QString problem = takeLayer(parser, layer_); !problem.isEmpty())
            return problem;
        if (positional.isEmpty())
            return QStringLiteral("set needs a KEY and an ACTION, for example: set K3 Ctrl+ C");
        keyName_ = positional.first();
        if (const QString problem = parseKeyName(keyName_); !problem.isEmpty())
            return problem;
        action_ = positional.mid(1);
        if (action_.isEmpty())
            return QStringLiteral("set needs an ACTION after %1, for example: set %1 Ctrl+ C").arg(positional.first());
        return QString();
    }
    // The words depend on the record format, which only the keypad can tell,
    // so they are checked once it has answered and before anything is sent.
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        const Board board = keypad.board();
        int key = 0;
        if (const int code = resolveKey(context, board, keyName_, key); code != ExitCode::kDone)
            return code;
        const ActionWords::Context where = ActionWords::contextOn(board, layer_ - 1, key);
        const QString place = board.placeName(layer_ - 1, key);
        QString error;
        const std::optional<ActionWords::Record> record = ActionWords::parseCommandLine(action_, where, &error);
        if (!record)
            return context.fail(ExitCode::kUsage, QStringLiteral("%1: %2\nNothing was sent. Try 'tessaplex-cli "
                                                                 "set --help' for more information.")
                                                      .arg(place, error));
        const QString words = ActionWords::describe(*record, where);
        if (!keypad.config().setRecord(layer_ - 1, key, record->data())) {
            context.note(QStringLiteral("%1 holds %2 already").arg(place, words));
            return ExitCode::kDone;
        }
        context.note(QStringLiteral("%1: %2").arg(place, words));
        return keypad.save();
    }

private:
    int layer_ = 1;
    QString keyName_;
    QStringList action_;
};

class ClearCommand : public Command {
public:
    QString name() const override { return QStringLiteral("clear"); }
    QString synopsis() const override { return QStringLiteral("[--layer N] KEY | --all"); }
    QString summary() const override { return QStringLiteral("empty one key, or the whole layer, saved at once"); }
    void addOptions(QCommandLineParser& parser) override
    {
        addLayerOption(parser, QStringLiteral(" (default 1)"));
        parser.addOption({QStringLiteral("all"), QStringLiteral("Empty every key and knob action of the layer.")});
    }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        if (const QString problem = takeLayer(parser, layer_); !problem.isEmpty())
            return problem;
        all_ = parser.isSet(QStringLiteral("all"));
        if (all_)
            return positional.isEmpty() ? QString() : QStringLiteral("clear takes either a KEY or --all, not both");
        if (positional.isEmpty())
            return QStringLiteral("clear needs a KEY or --all");
        if (const QString surplus = noMoreArguments(positional, 1); !surplus.isEmpty())
            return surplus;
        keyName_ = positional.first();
        return parseKeyName(keyName_);
    }
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        if (all_) {
            keypad.config().clearLayer(layer_ - 1);
            context.note(QStringLiteral("layer %1: every key and knob action cleared").arg(layer_));
            return keypad.save();
        }
        const Board board = keypad.board();
        int key = 0;
        if (const int code = resolveKey(context, board, keyName_, key); code != ExitCode::kDone)
            return code;
        const ActionWords::Record cleared = ActionWords::clearedRecord(ActionWords::contextOn(board, layer_ - 1, key));
        const QString place = board.placeName(layer_ - 1, key);
        if (!keypad.config().setRecord(layer_ - 1, key, cleared.data())) {
            context.note(QStringLiteral("%1 holds nothing already").arg(place));
            return ExitCode::kDone;
        }
        context.note(QStringLiteral("%1 cleared").arg(place));
        return keypad.save();
    }

private:
    int layer_ = 1;
    QString keyName_;
    bool all_ = false;
};

class LedCommand : public Command {
public:
    QString name() const override { return QStringLiteral("led"); }
    QString synopsis() const override
    {
        return QStringLiteral("--layer N --mode M [--colour KEY=#rrggbb]...");
    }
    QString summary() const override { return QStringLiteral("a layer's LED mode and key colours, saved at once"); }
    void addOptions(QCommandLineParser& parser) override
    {
        addLayerOption(parser, QString());
        parser.addOption({QStringLiteral("mode"), QStringLiteral("The LED mode, 0 to 5."), QStringLiteral("M")});
        parser.addOption({{QStringLiteral("colour"), QStringLiteral("color")},
                          QStringLiteral("The colour of key K1 to K16, as KEY=#rrggbb; may be repeated."),
                          QStringLiteral("KEY=#rrggbb")});
    }
    QString take(const QCommandLineParser& parser, const QStringList& positional) override
    {
        if (!parser.isSet(kLayerOption))
            return QStringLiteral("led needs --layer N");
        if (const QString problem = takeLayer(parser, layer_); !problem.isEmpty())
            return problem;
        if (!parser.isSet(QStringLiteral("mode")))
            return QStringLiteral("led needs --mode M");
        if (const QString problem = parseLedMode(parser.value(QStringLiteral("mode")), mode_); !problem.isEmpty())
            return problem;
        colours_.clear();
        for (const QString& value : parser.values(QStringLiteral("colour"))) {
            KeyColour colour;
            if (const QString problem = parseKeyColour(value, colour); !problem.isEmpty())
                return problem;
            colours_.push_back(colour);
        }
        return noMoreArguments(positional, 0);
    }
    // Current format: the layer's LED block. Older firmware lights a whole
    // layer in one mode through the layer's lighting record and has no
    // colours per key.
    int run(CliContext& context) override
    {
        KeypadWork keypad(context);
        if (const int code = keypad.load(); code != ExitCode::kDone)
            return code;
        KeypadConfig& config = keypad.config();
        if (!config.currentFormat()) {
            if (!colours_.empty())
                return context.fail(ExitCode::kUsage,
                                    QStringLiteral("this keypad (firmware %1) has no colours per key; its layers take "
                                                   "a lighting mode only: led --layer N --mode M")
                                        .arg(keypad.board().identity().version));
            const ActionWords::Context where{false, layer_ - 1, 0};
            QString error;
            const std::optional<ActionWords::Record> lighting =
                ActionWords::parse(QStringLiteral("LED Mode%1").arg(mode_), where, &error);
            if (!lighting)
                return context.fail(ExitCode::kUsage, error);
            config.setRecord(layer_ - 1, 0, lighting->data());
        } else {
            for (const KeyColour& colour : colours_)
                if (const QString problem = checkKeyColour(keypad.board(), colour); !problem.isEmpty())
                    return context.fail(ExitCode::kUsage, problem);
            config.setLayerLedMode(layer_ - 1, mode_);
            for (const KeyColour& colour : colours_)
                config.setKeyColour(layer_ - 1, colour.key, colour.rgb[0], colour.rgb[1], colour.rgb[2]);
        }
        context.note(QStringLiteral("layer %1: LED mode %2%3")
                         .arg(layer_)
                         .arg(mode_)
                         .arg(colours_.empty() ? QString()
                                               : QStringLiteral(", %1 key colour%2")
                                                     .arg(colours_.size())
                                                     .arg(colours_.size() == 1 ? "" : "s")));
        return keypad.save();
    }

private:
    int layer_ = 1;
    int mode_ = 0;
    std::vector<KeyColour> colours_;
};

}  // namespace

void addEditCommands(CommandList& commands)
{
    commands.push_back(std::make_unique<SetCommand>());
    commands.push_back(std::make_unique<ClearCommand>());
    commands.push_back(std::make_unique<LedCommand>());
}
