#pragma once

#include <QString>
#include <QStringList>

// A verification result table as the parser receives it (inner markup of the page's third
// table, upper-case tag names, the <TBODY> a browser inserts), built row by row and cell by
// cell so that each test changes only the piece it is about. Each cell text is what stands
// between one "</TD>" and the next; the first cell of a row carries the row's start tag.
struct ResultTableBuilder {
    static QString divCell(const QString &entries, int width = 60) {
        return QStringLiteral("<TD><DIV style=\"width:%1px\">").arg(width) + entries +
               QStringLiteral("</DIV>");
    }

    QStringList passengerHeader{
        QStringLiteral("<TBODY><TR>\n<TD class=\"label\">旅客姓名"),
        QStringLiteral("<TD class=\"label\">有效身份证件号码"),
        QStringLiteral("<TD class=\"label\">签注"),
    };
    QStringList passenger{
        QStringLiteral("\n<TR>\n<TD><DIV style=\"text-align:left;width:120px\">张伟</DIV>"),
        QStringLiteral("<TD><DIV style=\"width:180px\">110101199001011234</DIV>"),
        QStringLiteral("<TD>不得签转&nbsp;改期收费"),
        QStringLiteral("<TD>HX3K9P"),
    };
    QStringList segmentHeader{
        QStringLiteral("\n<TR>\n<TD>&nbsp;"),
        QStringLiteral("<TD>航段信息"),
    };
    QStringList segments{
        QStringLiteral("\n<TR>\n<TD><DIV style=\"width:30px\">自<BR>至<BR>至</DIV>"),
        divCell(QStringLiteral("北京首都 T3<BR>上海虹桥 T2<BR>北京首都 T3"), 120),
        QStringLiteral("<TD>&nbsp;"),
        divCell(QStringLiteral("国航<BR>东航")),
        divCell(QStringLiteral("CA1501<BR>MU5102")),
        divCell(QStringLiteral("Y<BR>B")),
        divCell(QStringLiteral("2026-03-15<BR>2026-03-18")),
        divCell(QStringLiteral("08:00<BR>19:30")),
        divCell(QStringLiteral("Y<BR>BOW")),
        divCell(QStringLiteral("&nbsp;<BR>&nbsp;")),
        divCell(QStringLiteral("&nbsp;<BR>&nbsp;")),
        divCell(QStringLiteral("20K<BR>20K")),
    };
    QStringList amounts{
        QStringLiteral("\n<TR>\n<TD class=\"amount\">CNY 2260.0"),
        QStringLiteral("<TD class=\"amount\">CNY 100.0"),
        QStringLiteral("<TD class=\"amount\">CNY&nbsp;120.0"),
        QStringLiteral("<TD class=\"amount\">CNY 0.0"),
        QStringLiteral("<TD class=\"amount\">CNY 2480.0"),
    };
    QStringList ticket{
        QStringLiteral("\n<TR>\n<TD><DIV style=\"width:200px\">9991234567890</DIV>"),
        QStringLiteral("<TD>0042"),
        QStringLiteral("<TD>仅供验真&amp;报销"),
        QStringLiteral("<TD>无"),
    };
    QStringList footer{QStringLiteral("\n<TR>\n<TD colspan=\"4\">印刷序号：12345678900042")};
    // How many of the seven rows the table holds.
    int rowCount = 7;

    QString markup() const {
        const QList<QStringList> rows{passengerHeader, passenger, segmentHeader, segments,
                                      amounts,         ticket,    footer};
        QStringList texts;
        for (int i = 0; i < rowCount && i < rows.size(); ++i)
            texts.append(rows[i].join(QStringLiteral("</TD>")) + QStringLiteral("</TD>\n"));
        return texts.join(QStringLiteral("</TR>")) + QStringLiteral("</TR>\n</TBODY>");
    }
};
