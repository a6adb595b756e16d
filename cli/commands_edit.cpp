// set, clear and led: single edits, saved to the keypad at once.
#include "cli/arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"

#include <QCommandLineParser>

#include <vector>

namespace {

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
        if (const QString problem = parseKeyName(positional.first(), key_); !problem.isEmpty())
            return problem;
        action_ = positional.mid(1);
        if (action_.isEmpty())
            return QStringLiteral("set needs an ACTION after %1, for example: set %1 Ctrl+ C").arg(positional.first());
        return QString();
    }
    // TODO(second round): parse action_ with the profile's action words (a
    // word it does not know is a usage error), check the key exists on the
    // connected board, write the record and commit.
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

private:
    int layer_ = 1;
    int key_ = 0;
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
        return parseKeyName(positional.first(), key_);
    }
    // TODO(second round): write the emptied record(s) and commit.
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

private:
    int layer_ = 1;
    int key_ = 0;
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
    // TODO(second round): current format: the layer's LED block with the
    // new mode and colours; old format: the layer's lighting record.
    int run(CliContext& context) override { return notYetAvailable(context, name()); }

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
