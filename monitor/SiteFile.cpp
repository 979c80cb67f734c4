#include "monitor/SiteFile.h"
#include "monitor/MonitorLayout.h"
#include "monitor/WholeFile.h"
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>

namespace site {

namespace {

const QString kKeyFormat = QStringLiteral("format");
const QString kKeyName = QStringLiteral("name");
const QString kKeyGateway = QStringLiteral("gateway");
const QString kKeyTerminals = QStringLiteral("terminals");
const QString kKeyHost = QStringLiteral("host");
const QString kKeyPort = QStringLiteral("port");
const QString kKeyAddress = QStringLiteral("address");
const QString kKeyType = QStringLiteral("type");
const QString kKeyChannels = QStringLiteral("channels");
const QString kKeyChannel = QStringLiteral("channel");
const QString kKeyTag = QStringLiteral("tag");
const QString kKeyMin = QStringLiteral("min");
const QString kKeyMax = QStringLiteral("max");

// The parts of a message: where (file, terminal, channel entry) and what.
QString joined(const QStringList &parts)
{
    return parts.join(QStringLiteral(": "));
}

QString terminalWhere(int index, std::optional<int> address)
{
    return address ? QCoreApplication::translate("SiteFile", "%1 番目のターミナル (アドレス %2)").arg(index + 1).arg(*address)
                   : QCoreApplication::translate("SiteFile", "%1 番目のターミナル").arg(index + 1);
}

QString channelEntryWhere(int index)
{
    return QCoreApplication::translate("SiteFile", "%1 番目のチャンネル").arg(index + 1);
}

QString channelWhere(int channel)
{
    return QCoreApplication::translate("SiteFile", "チャンネル %1").arg(channel);
}

enum class Want { String, Integer, Number, Object, Array };

QString mustBe(const QString &key, Want want)
{
    QString what;
    switch (want) {
    case Want::String: what = QCoreApplication::translate("SiteFile", "文字列"); break;
    case Want::Integer: what = QCoreApplication::translate("SiteFile", "整数"); break;
    case Want::Number: what = QCoreApplication::translate("SiteFile", "数値"); break;
    case Want::Object: what = QCoreApplication::translate("SiteFile", "オブジェクト"); break;
    case Want::Array: what = QCoreApplication::translate("SiteFile", "配列"); break;
    }
    return QCoreApplication::translate("SiteFile", "\"%1\" には%2が必要です").arg(key, what);
}

// A JSON number that is a whole number within int.
std::optional<int> integerOf(const QJsonValue &v)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || d < std::numeric_limits<int>::min()
        || d > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(d);
}

// The objects' own keys go; what is left are the keys to keep.
QJsonObject without(QJsonObject o, std::initializer_list<QString> keys)
{
    for (const QString &k : keys)
        o.remove(k);
    return o;
}

// Reads an optional string key; false (and *why) when it is there but no string.
bool optionalString(const QJsonObject &o, const QString &key, QString *out, QString *why)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined())
        return true;
    if (!v.isString()) {
        *why = mustBe(key, Want::String);
        return false;
    }
    *out = v.toString();
    return true;
}

bool readChannel(const QJsonValue &value, Channel *c, QString *why)
{
    if (!value.isObject()) {
        *why = mustBe(kKeyChannels, Want::Object);
        return false;
    }
    const QJsonObject o = value.toObject();
    const std::optional<int> channel = integerOf(o.value(kKeyChannel));
    if (!channel) {
        *why = mustBe(kKeyChannel, Want::Integer);
        return false;
    }
    c->channel = *channel;
    if (!optionalString(o, kKeyTag, &c->tag, why))
        return false;
    for (const auto &[key, bound] : {std::pair{kKeyMin, &c->min}, std::pair{kKeyMax, &c->max}}) {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            continue;
        if (!v.isDouble()) {
            *why = mustBe(key, Want::Number);
            return false;
        }
        *bound = v.toDouble();
    }
    c->extra = without(o, {kKeyChannel, kKeyTag, kKeyMin, kKeyMax});
    return true;
}

// One terminal entry; on a refusal *why names the entry.
bool readTerminal(const QJsonValue &value, int index, Terminal *t, QString *why)
{
    if (!value.isObject()) {
        *why = joined({terminalWhere(index, std::nullopt), mustBe(kKeyTerminals, Want::Object)});
        return false;
    }
    const QJsonObject o = value.toObject();
    const std::optional<int> address = integerOf(o.value(kKeyAddress));
    if (!address) {
        *why = joined({terminalWhere(index, std::nullopt), mustBe(kKeyAddress, Want::Integer)});
        return false;
    }
    t->address = *address;
    const QString where = terminalWhere(index, *address);
    const std::optional<int> type = integerOf(o.value(kKeyType));
    if (!type) {
        *why = joined({where, mustBe(kKeyType, Want::Integer)});
        return false;
    }
    t->type = *type;
    QString what;
    if (!optionalString(o, kKeyName, &t->name, &what)) {
        *why = joined({where, what});
        return false;
    }
    const QJsonValue channels = o.value(kKeyChannels);
    if (!channels.isUndefined()) {
        if (!channels.isArray()) {
            *why = joined({where, mustBe(kKeyChannels, Want::Array)});
            return false;
        }
        const QJsonArray list = channels.toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            Channel c;
            if (!readChannel(list.at(i), &c, &what)) {
                *why = joined({where, channelEntryWhere(int(i)), what});
                return false;
            }
            t->channels << c;
        }
    }
    t->extra = without(o, {kKeyAddress, kKeyType, kKeyName, kKeyChannels});
    return true;
}

bool readGateway(const QJsonValue &value, Gateway *g, QString *why)
{
    if (!value.isObject()) {
        *why = mustBe(kKeyGateway, Want::Object);
        return false;
    }
    const QJsonObject o = value.toObject();
    const QJsonValue host = o.value(kKeyHost);
    if (!host.isString()) {
        *why = joined({kKeyGateway, mustBe(kKeyHost, Want::String)});
        return false;
    }
    g->host = host.toString();
    const std::optional<int> port = integerOf(o.value(kKeyPort));
    if (!port) {
        *why = joined({kKeyGateway, mustBe(kKeyPort, Want::Integer)});
        return false;
    }
    g->port = *port;
    g->extra = without(o, {kKeyHost, kKeyPort});
    return true;
}

// The line (from 1) of byte offset in bytes.
int lineAt(const QByteArray &bytes, int offset)
{
    return int(bytes.left(offset).count('\n')) + 1;
}

QJsonObject channelObject(const Channel &c)
{
    QJsonObject o = c.extra;
    o.insert(kKeyChannel, c.channel);
    o.insert(kKeyTag, c.tag);
    if (c.min)
        o.insert(kKeyMin, *c.min);
    if (c.max)
        o.insert(kKeyMax, *c.max);
    return o;
}

QJsonObject terminalObject(const Terminal &t)
{
    QJsonObject o = t.extra;
    o.insert(kKeyAddress, t.address);
    o.insert(kKeyType, t.type);
    o.insert(kKeyName, t.name);
    if (!t.channels.isEmpty()) {
        QJsonArray list;
        for (const Channel &c : t.channels)
            list.append(channelObject(c));
        o.insert(kKeyChannels, list);
    }
    return o;
}

} // namespace

const Channel *Terminal::channelAt(int p) const
{
    for (const Channel &c : channels)
        if (c.channel == p)
            return &c;
    return nullptr;
}

const Terminal *Site::terminalAt(int address) const
{
    for (const Terminal &t : terminals)
        if (t.address == address)
            return &t;
    return nullptr;
}

QString problem(const Site &site, const QString &fileName)
{
    if (site.gateway && (site.gateway->port < 1 || site.gateway->port > 65535))
        return joined({fileName, kKeyGateway,
                       QCoreApplication::translate("SiteFile", "ポート %1 は 1..65535 の範囲外です").arg(site.gateway->port)});
    for (qsizetype i = 0; i < site.terminals.size(); ++i) {
        const Terminal &t = site.terminals[i];
        const QString where = terminalWhere(int(i), t.address);
        if (t.address < 0 || t.address >= kAddressCount)
            return joined({fileName, where,
                           QCoreApplication::translate("SiteFile", "アドレス %1 は 0..63 の範囲外です").arg(t.address)});
        if (t.type < 0 || t.type >= monitor::kTerminalTypeCount)
            return joined({fileName, where,
                           QCoreApplication::translate("SiteFile", "種類 %1 は 0..12 の範囲外です").arg(t.type)});
        for (qsizetype j = 0; j < i; ++j)
            if (site.terminals[j].address == t.address)
                return joined({fileName, where,
                               QCoreApplication::translate("SiteFile", "%1 番目のターミナルと同じアドレスです").arg(j + 1)});
        for (qsizetype k = 0; k < t.channels.size(); ++k) {
            const Channel &c = t.channels[k];
            if (c.channel < 0 || c.channel >= kChannelCount)
                return joined({fileName, where,
                               QCoreApplication::translate("SiteFile", "チャンネル %1 は 0..31 の範囲外です").arg(c.channel)});
            for (qsizetype m = 0; m < k; ++m)
                if (t.channels[m].channel == c.channel)
                    return joined({fileName, where, channelWhere(c.channel),
                                   QCoreApplication::translate("SiteFile", "2 回記述されています")});
            if (c.min && c.max && *c.min > *c.max)
                return joined({fileName, where, channelWhere(c.channel),
                               QCoreApplication::translate("SiteFile", "下限 %1 が上限 %2 より大きくなっています")
                                   .arg(*c.min).arg(*c.max)});
        }
    }
    return {};
}

std::optional<Site> fromBytes(const QByteArray &bytes, const QString &fileName, QString *error)
{
    const auto refuse = [error](const QString &why) -> std::optional<Site> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // A byte-order mark is allowed, as editors on Windows write one.
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray json = bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return refuse(QCoreApplication::translate("SiteFile", "%1 の %2 行目: JSON として読めません (%3)")
                          .arg(fileName)
                          .arg(lineAt(json, parse.offset))
                          .arg(parse.errorString()));
    if (!doc.isObject())
        return refuse(joined({fileName, QCoreApplication::translate("SiteFile", "設置構成の JSON オブジェクトではありません")}));
    const QJsonObject top = doc.object();
    if (top.value(kKeyFormat).toString() != QLatin1String(kFormat))
        return refuse(joined({fileName, QCoreApplication::translate("SiteFile", "\"format\" が \"%1\" ではありません")
                                            .arg(QLatin1String(kFormat))}));
    Site site;
    QString why;
    if (!optionalString(top, kKeyName, &site.name, &why))
        return refuse(joined({fileName, why}));
    if (const QJsonValue g = top.value(kKeyGateway); !g.isUndefined()) {
        Gateway gateway;
        if (!readGateway(g, &gateway, &why))
            return refuse(joined({fileName, why}));
        site.gateway = gateway;
    }
    const QJsonValue terminals = top.value(kKeyTerminals);
    if (!terminals.isArray())
        return refuse(joined({fileName, mustBe(kKeyTerminals, Want::Array)}));
    const QJsonArray list = terminals.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        Terminal t;
        if (!readTerminal(list.at(i), int(i), &t, &why))
            return refuse(joined({fileName, why}));
        site.terminals << t;
    }
    site.extra = without(top, {kKeyFormat, kKeyName, kKeyGateway, kKeyTerminals});
    if (const QString p = problem(site, fileName); !p.isEmpty())
        return refuse(p);
    return site;
}

QByteArray toBytes(const Site &site)
{
    QJsonObject top = site.extra;
    top.insert(kKeyFormat, QLatin1String(kFormat));
    top.insert(kKeyName, site.name);
    if (site.gateway) {
        QJsonObject g = site.gateway->extra;
        g.insert(kKeyHost, site.gateway->host);
        g.insert(kKeyPort, site.gateway->port);
        top.insert(kKeyGateway, g);
    }
    QJsonArray list;
    for (const Terminal &t : site.terminals)
        list.append(terminalObject(t));
    top.insert(kKeyTerminals, list);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

std::optional<Site> read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = joined({path, QCoreApplication::translate("SiteFile", "ファイルを開けません (%1)").arg(file.errorString())});
        return std::nullopt;
    }
    return fromBytes(file.readAll(), path, error);
}

bool write(const QString &path, const Site &site, QString *error)
{
    if (const QString p = problem(site, path); !p.isEmpty()) {
        if (error)
            *error = p;
        return false;
    }
    QString why;
    if (WriteWholeFile(path, toBytes(site), &why))
        return true;
    if (error)
        *error = joined({path, QCoreApplication::translate("SiteFile", "書き込めません (%1)").arg(why)});
    return false;
}

std::array<QString, kChannelCount> tagsOf(const Site &site, int address, int type)
{
    std::array<QString, kChannelCount> tags;
    const Terminal *t = site.terminalAt(address);
    if (!t || t->type != type)
        return tags;
    for (const Channel &c : t->channels)
        if (c.channel >= 0 && c.channel < kChannelCount)
            tags[size_t(c.channel)] = c.tag;
    return tags;
}

} // namespace site
