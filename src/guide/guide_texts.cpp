#include "guide/guide_texts.h"

using namespace Qt::Literals::StringLiterals;

// Every line ends with CR LF, the last one included; half-width and full-width signs are kept as they are.

// The simplified-script guide: 21 lines, 1030 bytes in GBK.
const QString AngleGuideText =
    u"——————————20度打法———————————\r\n"
    u"-------20度打法无视风力，距离和力度对应即可------\r\n"
    u"——————————30度打法———————————\r\n"
    u"基本公式：30+-风力=角度 （风力顺+逆-）\r\n"
    u"——————————45度打法———————————\r\n"
    u"基本公式：45+-风力=角度 （风力顺+逆-）\r\n"
    u"——————————50度打法———————————\r\n"
    u"基本公式：50+-(风力×2)=实际应用角度(风力顺＋逆－)\r\n"
    u"——————————55度打法———————————\r\n"
    u"基本公式：55+-(风力×2)=实际应用角度(风力顺-逆 + )\r\n"
    u"——————————65度打法———————————\r\n"
    u"基本公式：65+-(风力×2)=实际应用角度(风力顺＋逆－)\r\n"
    u"——————————高抛打法———————————\r\n"
    u"高抛就是以90度为基本角度，根据距离和风力来调整角度，\r\n"
    u"力度始终=95高抛公式：90-距离±风力×2=\r\n"
    u"实际应用角度(风力顺＋逆－)（小数可以忽略不计）\r\n"
    u"——————————半抛打法———————————\r\n"
    u"半抛就是不用全力的抛射打法，半抛的基本角度\r\n"
    u"是90度，根据距离和风力来改变角度，力度\r\n"
    u"始终=60，半抛的基本公式：基本公式：90-（距离×2）\r\n"
    u"+-（风力×2）=角度（风力顺+逆-）（小数忽略不计）\r\n"_s;

// The traditional-script guide, its own text with its own line breaks: 21 lines, 1031 bytes in GBK.
const QString AngleGuideTradText =
    u"——————————20度打法———————————\r\n"
    u"-------20度打法無視風力，距離和力度對應即可------\r\n"
    u"——————————30度打法———————————\r\n"
    u"基本公式：30+-風力=角度 （風力順+逆-）\r\n"
    u"——————————45度打法———————————\r\n"
    u"基本公式：45+-風力=角度 （風力順+逆-）\r\n"
    u"——————————50度打法———————————\r\n"
    u"基本公式：50+-(風力×2)=實際應用角度(風力順＋逆－)\r\n"
    u"——————————55度打法———————————\r\n"
    u"基本公式：55+-(風力×2)=實際應用角度(風力順-逆 + )\r\n"
    u"——————————65度打法———————————\r\n"
    u"基本公式：65+-(風力×2)=實際應用角度(風力順＋逆－)\r\n"
    u"——————————高抛打法———————————\r\n"
    u"高抛就是以90度爲基本角度，根據距離和風力來調整角度\r\n"
    u"力度始終=95   高抛公式：90-距離±風力×2=\r\n"
    u"實際應用角度(風力順＋逆－)（小數可以忽略不計）\r\n"
    u"——————————半抛打法———————————\r\n"
    u"半抛就是不用全力的抛射打法，半抛的基本角度是90度，\r\n"
    u"根據距離和風力來改變角度，力度始終=60，\r\n"
    u"半抛的基本公式：基本公式：90-（距離×2）\r\n"
    u"+-（風力×2）=角度（風力順+逆-）（小數忽略不計）\r\n"_s;

// The style sheet of both guide views, one rule a line (the "p" rule with two spaces before its brace):
// 17 lines, 990 bytes in GBK. Only the body rule matters to the guide texts, which hold no markup.
const QString GuideStyleSheet =
    u"body {font-size: 9pt; color:black; font-family:\"宋体\",Verdana}\r\n"
    u"p  {font-size: 9pt; color:black; font-family:\"宋体\",Verdana}\r\n"
    u"h1 {font-size: 14pt; color:black; font-family:\"宋体\",Verdana; font-weight:bold}\r\n"
    u"h2 {font-size: 13pt; color:#ff9900; font-family:\"宋体\",Verdana; font-weight:bold}\r\n"
    u"h3 {font-size: 12pt; color:#ff9900; font-family:\"宋体\",Arial; font-weight:bold}\r\n"
    u"h4 {font-size: 10pt; color:black; font-family:\"宋体\",Verdana; font-weight:bold}\r\n"
    u"h5 {font-size: 9pt; color:#ff9900; font-family:\"宋体\",Verdana; font-weight:bold}\r\n"
    u"h6 {font-size: 65%; color:#626262; font-family:\"宋体\",Verdana; font-weight:normal}\r\n"
    u"pre {font-size: 9pt; font-family:\"宋体\",\"Courier\"; background-color:#fbedbb}\r\n"
    u"code {color:#990000; font-family:\"宋体\",Arial}\r\n"
    u"a:link {text-decoration:none; color:blue}\r\n"
    u"a:hover {text-decoration:underline; color:blue}\r\n"
    u"sub {font-size:65%; vertical-align:bottom}\r\n"
    u"sup {font-size:65%; vertical-align:top}\r\n"
    u"big {font-size:125%}\r\n"
    u"small {font-size:75%}\r\n"
    u".comment {color:green}\r\n"_s;
