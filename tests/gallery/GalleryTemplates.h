// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Expected gallery markup, written as the page templates read: each literal keeps "\r\n" as
// the two visible characters and `crlf` turns them into line ends, and "{X}" marks where a
// value goes. Kept apart from the generator's own code so that a slip in one shows.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace gallery_test {

inline QString crlf(QString text) {
    return text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n"));
}

inline QString fill(QString text, const QString& key, const QString& value) {
    return text.replace(QStringLiteral("{") + key + QStringLiteral("}"), value);
}

inline QString sizeText(qint64 size) {
    return size < 5120 ? QString::number(size) + " bytes"
                       : QString::number(size / 1024 + 1) + " Kb";
}

inline QString captionL(qint64 k, const QString& name, const QString& size) {
    QString t =
        crlf(R"(<table width="100%" border=0><tr>\r\n<td width="2%">&nbsp</td>\r\n)"
             R"(<td width="98%"><font size="+1"><font color=#656565>{K}</font> )"
             R"(&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; <b>{NAME}</b> &nbsp;&nbsp;&nbsp;&nbsp;{SIZE})"
             R"(<p></font></td>\r\n</tr></table>\r\n)");
    return fill(fill(fill(t, "K", QString::number(k)), "NAME", name), "SIZE", size);
}

// `src` and `name` as they must appear in the markup (already escaped).
inline QString simpleItem(const QString& src, qint64 k, const QString& name, qint64 size) {
    QString t = crlf(R"(<table width="100%" border=0><tr>\r\n<td width="2%"> &nbsp </td>\r\n)"
                     R"(<td width="98%"><img src="{PATH}" alt="  {NAME}    ({SIZE}) "> </td>\r\n)"
                     R"(</tr> </table> <br> <p> <hr noShade  width="100%" align=left>\r\n\r\n)");
    t = fill(fill(fill(t, "PATH", src), "NAME", name), "SIZE", sizeText(size));
    return captionL(k, name, sizeText(size)) + t;
}

inline QString backgroundItem(const QString& src, qint64 k, const QString& name, qint64 size) {
    QString t = crlf(
        R"(<table width="80%" align="center" border=0 background="{PATH}"><tr>\r\n)"
        R"(<td width="2%"> &nbsp </td>\r\n)"
        R"(<td width="98%"> <table height=100 width=1 border=0><tr><td></td></tr></table></td>\r\n)"
        R"(</tr> </table> <br><p> <hr noShade  width="100%" align=left>\r\n\r\n)");
    return captionL(k, name, sizeText(size)) + fill(t, "PATH", src);
}

inline QString thumbnailItem(const QString& src, qint64 k, const QString& name,
                             const QString& shortName, qint64 size) {
    QString frame = crlf(
        R"(<table width="{T}" align="center" border=0 cellspacing="1" cellpadding="" bgcolor="#000000"><tr><td bgcolor="#FFFFFF">\r\n)"
        R"(<img src="{PATH}" alt="  {NAME}    ({SIZE}) " width="{T}" height="{T}"></td>\r\n)"
        R"(</tr></table>\r\n)");
    QString caption = crlf(R"(<table width="100%" border=0><tr>\r\n)"
                           R"(<td nowrap><font size="1"><font color=#656565>{K}</font>&nbsp;)"
                           R"(<b>{SHORT}</b><br><div align=right>{SIZE}</div></font></td>\r\n)"
                           R"(</tr></table>\r\n)");
    QString t = crlf(R"(<table width="{T}" border=0 cellspacing=0 cellpadding=0><tr><td>\r\n)"
                     R"({FRAME}</td></tr>\r\n<tr><td>\r\n{CAPTION}</td></tr></table>\r\n)");
    t = fill(fill(t, "FRAME", frame), "CAPTION", caption);
    t = fill(fill(fill(t, "PATH", src), "NAME", name), "SIZE", sizeText(size));
    t = fill(fill(fill(t, "K", QString::number(k)), "SHORT", shortName), "T", "100");
    return t;
}

inline QString navigation(std::optional<std::pair<qint64, qint64>> prev,
                          std::optional<std::pair<qint64, qint64>> next) {
    QString text = crlf(R"(<table width="100%"><tr><td align=right>\r\n)");
    if (prev)
        text += fill(
            fill(
                crlf(
                    R"(<a href="zelvorin://imglist/{A},{B}" onMouseOver="status='Prev'; return true;" onMouseOut="status=''; return true;" language="JavaScript"><font face="Arial, Tahoma, Helvetica"><b>&lt;&nbsp;Prev</b></a>&nbsp;&nbsp;&nbsp;\r\n)"),
                "A", QString::number(prev->first)),
            "B", QString::number(prev->second));
    else
        text += crlf(
            R"(<font face="Arial, Tahoma, Helvetica" color=#CCCCCC><b>Prev</b></font>&nbsp;&nbsp;&nbsp;\r\n)");
    if (next)
        text += fill(
            fill(
                crlf(
                    R"(<a href="zelvorin://imglist/{A},{B}"onMouseOver="status='Next'; return true;" onMouseOut="status=''; return true;" language="JavaScript"><font face="Arial, Tahoma, Helvetica"><b>Next &nbsp;&gt;</b></a>&nbsp;&nbsp;&nbsp;\r\n)"),
                "A", QString::number(next->first)),
            "B", QString::number(next->second));
    else
        text += crlf(
            R"(<font face="Arial, Tahoma, Helvetica" color=#CCCCCC><b>Next</b></font>&nbsp;&nbsp;&nbsp;\r\n)");
    return text + crlf(R"(</td></tr></table> \r\n)");
}

inline QString counter(qint64 n, qint64 first, qint64 last) {
    if (n == 0)
        return crlf(
            R"(<br><br><br><i><center>There is no image files in the File List</center></i><br><br><br><br><br>\r\n)");
    if (n == 1)
        return crlf(R"(<i><center>(1 image)</center></i>\r\n)");
    return fill(
        fill(
            fill(
                crlf(
                    R"(<i><center>({F}-{L}&nbsp;&nbsp;of {N}&nbsp;&nbsp;images)</center></i>\r\n)"),
                "F", QString::number(first)),
            "L", QString::number(last)),
        "N", QString::number(n));
}

inline QString footer() {
    return R"(<font face="Arial,Tahoma,Verdana,Helvetica"><table align=left width="100%" bgColor="#000000" cellspacing=0 cellpadding=10 border=0><tr><td align=right><font size=2>&nbsp;&nbsp;&nbsp;&nbsp;<a href="https://zelvorin.example.org/" target="newwindow"><font color=#FFFFFF style="text-decoration: none"><b><i>Zelvorin</i></b></font></a>&nbsp;&nbsp;&nbsp;&nbsp;</font></td></tr></table>)";
}

// `folder` as it must appear in title and banner (already escaped).
inline QString page(const QString& folder, const QString& counterText, const QString& nav,
                    const QString& items, const QString& footerText) {
    QString head = crlf(
        R"(<html> <head>\r\n<title>{F}</title>\r\n</head>\r\n<body bgcolor=#FFFFFF topmargin="0" leftmargin="0">\r\n)");
    QString banner = crlf(
        R"(<font face="Verdana,Arial">\r\n<table align=left width="100%" bgColor="#000000" cellspacing=0 cellpadding=0 border=0><tr><td><br>\r\n<center> <font color=#FFFFFF> <b>Folder</b>&nbsp;&nbsp;&nbsp;"{F}"  </font></center>\r\n<br></td></tr></table>\r\n)");
    const QStringList sections = {fill(head, "F", folder),
                                  fill(banner, "F", folder),
                                  "<br><br><br><br>" + counterText + "<br><br>",
                                  QString(),
                                  "<br>" + nav + "<br>",
                                  items,
                                  "<br>" + nav + "<br>",
                                  QString(),
                                  footerText,
                                  crlf(R"(</font></body></html>\r\n)")};
    QString text;
    for (const QString& section : sections)
        text += section + "\r\n";
    return text;
}

} // namespace gallery_test
