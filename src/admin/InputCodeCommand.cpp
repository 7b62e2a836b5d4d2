#include "admin/Commands.h"

#include "catalogue/inputcode/InputCode.h"

#include <QFile>

#include <cstdio>

namespace {

QString withoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);  // invalid sequences become U+FFFD, coded as '?'
}

int printInputCodesOfLines(QTextStream& out, QTextStream& err)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        err << "无法读取标准输入\n";
        return 1;
    }
    for (QByteArray line = input.readLine(); !line.isEmpty(); line = input.readLine())
        out << MakeInputCode(withoutLineEnd(line)) << '\n';
    return 0;
}

} // namespace

int runInputCode(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        err << "用法: velmora-admin inputcode <文本>…  或  velmora-admin inputcode -\n";
        return 2;
    }
    if (args == QStringList{"-"})
        return printInputCodesOfLines(out, err);
    for (const QString& text : args)
        out << MakeInputCode(text) << '\n';
    return 0;
}
