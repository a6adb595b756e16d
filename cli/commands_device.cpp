// list, info and doctor: what is on the bus and which board it is.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/keypad_work.h"
#include "core/device/permission_doctor.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kEnglish = 1;  // the doctor's language flag, as the window's

QString json(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    return QString::fromUtf8(document.toJson(QJsonDocument::Indented));
}

class ListCommand : public Command {
public:
    QString name() const override { return QStringLiteral("list"); }
    QString synopsis() const override { return QString(); }
    QString summary() const override
    {
        return QStringLiteral("every supported keypad on the bus: path, USB id, interface, whether it can be opened");
    }
    QString take(const QCommandLineParser&, const QStringList& positional) override
    {
        return noMoreArguments(positional, 0);
    }

    int run(CliContext& context) override
    {
        const std::vector<BusEntry> entries = context.listKeypads(true);
        QStringList deniedNodes;
        QJsonArray array;
        QStringList rows = {QStringLiteral("PATH"), QStringLiteral("USB ID"), QStringLiteral("INTERFACE"),
                            QStringLiteral("ACCESS")};
        for (const BusEntry& item : entries) {
            const QString path = QString::fromStdString(item.entry.path);
            QJsonObject object{{"path", path},
                               {"vendorId", idText(item.entry.vendorId)},
                               {"productId", idText(item.entry.productId)},
                               {"interface", item.entry.interfaceNumber},
                               {"canOpen", item.openFailure == OpenFailure::None}};
            QString access = QStringLiteral("can be opened");
            if (item.openFailure == OpenFailure::PermissionDenied) {
                access = QStringLiteral("permission denied");
                object.insert("problem", "permission-denied");
                object.insert("fix", permissionFix(path));
                deniedNodes << path;
            } else if (item.openFailure == OpenFailure::Other) {
                access = QStringLiteral("cannot be opened: %1").arg(item.openError);
                object.insert("problem", "open-failed");
                object.insert("error", item.openError);
            }
            array.append(object);
            rows << path << QStringLiteral("%1:%2").arg(object["vendorId"].toString(), object["productId"].toString())
                 << QString::number(item.entry.interfaceNumber) << access;
        }

        if (context.options().json)
            context.print(json(array));
        else if (!entries.empty())
            context.print(table(rows, 4));
        if (entries.empty())
            return context.fail(ExitCode::kNoKeypad,
                                QStringLiteral("no keypad found. Plug it in with a USB data cable (a charge-only "
                                               "cable carries no data)."));
        if (!deniedNodes.isEmpty() && !context.options().json)
            context.fail(ExitCode::kNoPermission, permissionFix(deniedNodes.join(QStringLiteral(", "))));
        return ExitCode::kDone;
    }

private:
    static QString table(const QStringList& cells, int columns)
    {
        QVector<int> widths(columns, 0);
        for (int i = 0; i < cells.size(); ++i)
            widths[i % columns] = std::max(widths[i % columns], int(cells[i].size()));
        QString text;
        for (int i = 0; i < cells.size(); ++i) {
            const bool last = i % columns == columns - 1;
            text += last ? cells[i] + QLatin1Char('\n') : cells[i].leftJustified(widths[i % columns] + 2);
        }
        return text;
    }
};

class InfoCommand : public Command {
public:
    QString name() const override { return QStringLiteral("info"); }
    QString synopsis() const override { return QString(); }
    QString summary() const override
    {
        return QStringLiteral("the keypad's identity: keys, knobs, firmware, variant, record format, model");
    }
    QString take(const QCommandLineParser&, const QStringList& positional) override
    {
        return noMoreArguments(positional, 0);
    }

    int run(CliContext& context) override
    {
        if (const int code = context.openKeypad(); code != ExitCode::kDone)
            return code;
        const QString path = QString::fromStdString(context.openedEntry().path);
        const QueryResult identity = askIdentity(context);
        if (identity.outcome != QueryOutcome::Answered)
            return identityFailure(context, identity.outcome);

        const DeviceInfo& info = identity.info;
        const bool current = isCurrentFormat(info.version);
        const std::optional<QString> model = modelName(info);
        const HidDeviceEntry& entry = context.openedEntry();
        if (context.options().json) {
            context.print(json(QJsonObject{{"path", path},
                                           {"vendorId", idText(entry.vendorId)},
                                           {"productId", idText(entry.productId)},
                                           {"interface", entry.interfaceNumber},
                                           {"keys", info.keys},
                                           {"knobs", info.knobs},
                                           {"firmware", info.version},
                                           {"variant", info.variant},
                                           {"recordFormat", current ? "current" : "old"},
                                           {"model", model ? QJsonValue(*model) : QJsonValue()}}));
            return ExitCode::kDone;
        }
        const QString modelText =
            model ? *model
                  : QStringLiteral("unknown (no catalogue model has %1 keys, %2 knobs and variant %3); the board "
                                   "has %4, as the window draws it")
                        .arg(info.keys)
                        .arg(info.knobs)
                        .arg(info.variant)
                        .arg(Board(info, entry.productId).summary());
        context.print(QStringLiteral("path:           %1\n"
                                     "USB id:         %2:%3\n"
                                     "keys:           %4\n"
                                     "knobs:          %5\n"
                                     "firmware:       %6\n"
                                     "variant:        %7\n"
                                     "record format:  %8\n"
                                     "model:          %9\n")
                          .arg(path, idText(entry.vendorId), idText(entry.productId))
                          .arg(info.keys)
                          .arg(info.knobs)
                          .arg(info.version)
                          .arg(info.variant)
                          .arg(current ? QStringLiteral("current (64-byte records, LED blocks)")
                                       : QStringLiteral("old (50-byte records, lighting per layer)"),
                               modelText));
        return ExitCode::kDone;
    }
};

class DoctorCommand : public Command {
public:
    QString name() const override { return QStringLiteral("doctor"); }
    QString synopsis() const override { return QString(); }
    QString summary() const override
    {
        return QStringLiteral("why the keypad cannot be opened, and the commands that fix it");
    }
    QString take(const QCommandLineParser&, const QStringList& positional) override
    {
        return noMoreArguments(positional, 0);
    }
    // Looks at the bus and the machine without keeping the keypad open.
    int run(CliContext& context) override
    {
        const DoctorReport report = runDoctor(context.transport(), LocalFileSystem(), kEnglish);
        context.print(report.text.endsWith(QLatin1Char('\n')) ? report.text : report.text + QLatin1Char('\n'));
        return report.exitCode;
    }
};

}  // namespace

void addDeviceCommands(CommandList& commands)
{
    commands.push_back(std::make_unique<ListCommand>());
    commands.push_back(std::make_unique<InfoCommand>());
    commands.push_back(std::make_unique<DoctorCommand>());
}
