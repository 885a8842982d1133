"""HTML pages of the demo portal.

The client's browser engine has no scripting and no CSS positioning, so the
pages use HTML 4 tables, attributes and simple inline style only."""

from html import escape
from urllib.parse import quote

KEY_COLOUR = "#FEFEFE"  # the login window shows its background picture through this colour
PANEL_COLOUR = "#1E3350"
GOLD = "#F2C14E"

SERVERS = {1: ("青岚谷", "流畅"), 2: ("赤霄城", "繁忙"), 3: ("星落原", "新服")}

# Kept short: a news line must fit the 306-pixel panel at 12 px without wrapping.
NEWS = [
    ("05-20", "新服「星落原」今日开启"),
    ("05-16", "端午活动：龙舟竞渡"),
    ("05-10", "客户端 1.1.0 更新说明"),
    ("05-02", "周四 6:00 全服停机维护"),
    ("04-28", "防沉迷系统升级公告"),
]

HEALTH_ADVICE = ("抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。"
                 "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。")


def _document(title, body_attrs, body, head_extra=""):
    return ('<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\n'
            "<html>\n<head>\n"
            '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">\n'
            + head_extra +
            "<title>" + escape(title) + "</title>\n</head>\n"
            "<body " + body_attrs + ">\n" + body + "</body>\n</html>\n")


def _server_list():
    rows = "".join(
        '<tr><td><font color="%s">%d服</font></td><td>%s</td><td><font color="#8FD18F">%s</font></td></tr>\n'
        % (GOLD, n, name, state) for n, (name, state) in sorted(SERVERS.items()))
    return ('<p style="margin:8px 0 2px 0"><b>服务器列表</b></p>\n'
            '<table width="100%" border="0" cellpadding="1" cellspacing="0" style="font-size:12px;color:#E8EEF6">\n'
            + rows + "</table>\n")


def _news_list():
    items = "".join('<li><font color="%s">[%s]</font> %s</li>\n' % (GOLD, date, escape(text))
                    for date, text in NEWS)
    return ('<p style="margin:8px 0 2px 0"><b>最新公告</b></p>\n'
            '<ul style="margin:0 0 0 16px;padding:0;font-size:12px">\n' + items + "</ul>\n")


def _login_frame(panel, head_extra="", images=()):
    """The 888 x 518 login layout: key-coloured everywhere except the command
    links at the top right and the panel at x 520..850, y 110..430. `images`
    (addresses) stand in a row in the band above the panel, 32 x 32 each."""
    commands = ('<table border="0" cellpadding="3" cellspacing="0" bgcolor="%s"><tr>\n'
                '<td><a href="app://minimize" style="color:#FFFFFF;font-size:12px;text-decoration:none">最小化</a></td>\n'
                '<td><a href="app://exitgame" style="color:#FFFFFF;font-size:12px;text-decoration:none">关闭</a></td>\n'
                "</tr></table>\n" % PANEL_COLOUR)
    body = (
        '<table width="888" height="518" border="0" cellpadding="0" cellspacing="0">\n'
        '<tr><td colspan="3" height="30" align="right" valign="top">\n' + commands + "</td></tr>\n"
        '<tr><td colspan="3" height="80">' + _image_row(images) + '</td></tr>\n'
        '<tr><td width="520" height="320">&nbsp;</td>\n'
        '<td width="330" height="320" valign="top" bgcolor="%s" style="background-color:%s;color:#E8EEF6;font-size:13px;padding:12px">\n'
        % (PANEL_COLOUR, PANEL_COLOUR)
        + panel +
        '</td>\n<td width="38">&nbsp;</td></tr>\n'
        '<tr><td colspan="3" height="88" align="center" valign="bottom" style="font-size:12px;color:#404040;padding-bottom:6px">\n'
        + "<b>健康游戏忠告：</b>" + HEALTH_ADVICE + "<br>\n"
        "&copy; LumoraVeldan 运营团队 版权所有</td></tr>\n</table>\n")
    body_attrs = ('bgcolor="%s" style="margin:0;padding:0;background-color:%s" '
                  'leftmargin="0" topmargin="0" marginwidth="0" marginheight="0" scroll="no"'
                  % (KEY_COLOUR, KEY_COLOUR))
    head_extra += ('<meta name="description" content="LumoraVeldan 官方登录页：帐号登录、服务器状态与最新公告。">\n'
                   '<meta name="keywords" content="LumoraVeldan,网页游戏,登录,客户端">\n')
    return _document("LumoraVeldan 登录", body_attrs, body, head_extra)


def _image_row(images):
    if not images:
        return "&nbsp;"
    return "".join('<img src="%s" width="32" height="32" alt="">' % escape(src) for src in images)


def login_page(error=None, username="", method="post", refresh_to=None, images=()):
    error_html = ""
    if error:
        error_html = '<p style="margin:4px 0"><font color="#FF8080"><b>%s</b></font></p>\n' % escape(error)
    panel = (
        '<p style="margin:0 0 6px 0"><font size="4" color="%s"><b>LumoraVeldan 帐号登录</b></font></p>\n' % GOLD
        + error_html +
        '<form method="%s" action="/pcLogin/login" style="margin:0">\n'
        '<table border="0" cellpadding="2" cellspacing="0" style="font-size:13px;color:#E8EEF6">\n'
        '<tr><td>帐号：</td><td><input type="text" name="username" size="20" maxlength="32" value="%s" autofocus></td></tr>\n'
        '<tr><td>密码：</td><td><input type="password" name="password" size="20" maxlength="32"></td></tr>\n'
        '<tr><td>&nbsp;</td><td><input type="submit" value="登录游戏"></td></tr>\n'
        "</table>\n</form>\n" % (escape(method), escape(username))
        + _server_list() + _news_list())
    head_extra = ""
    if refresh_to is not None:
        head_extra = '<meta http-equiv="refresh" content="1;url=%s">\n' % escape(refresh_to)
    return _login_frame(panel, head_extra, images)


def login_success_page(app_url):
    """Shown inside the login window, so it must be as long as a login page:
    the window takes any completed page under 1500 characters for an error."""
    url = escape(app_url)
    panel = (
        '<p style="margin:0 0 6px 0"><font size="4" color="%s"><b>登录成功</b></font></p>\n' % GOLD
        + "<p>正在进入游戏，请稍候……</p>\n"
        '<p><a href="%s" style="color:%s">如果没有自动进入游戏，请点击这里</a></p>\n' % (url, GOLD)
        + _server_list() + _news_list())
    return _login_frame(panel, '<meta http-equiv="refresh" content="0;url=%s">\n' % url)


EMPTY_ROOT_INNER = "<head></head><body></body>"  # what a browser serialises for an empty page


def page_of_inner_length(length):
    """A page whose root element's inner HTML, as a browser serialises it,
    is exactly `length` characters: an empty head and a body of plain text."""
    filler = length - len(EMPTY_ROOT_INNER)
    if filler < 0:
        raise ValueError("at least %d characters" % len(EMPTY_ROOT_INNER))
    words = ("LumoraVeldan " * (filler // 13 + 1))[:filler]
    return "<!DOCTYPE html><html><head></head><body>" + words + "</body></html>"


def inputs_page(count):
    """A page of `count` text fields in one form, for tests of a client's bounds."""
    fields = "".join('<input type="text" name="f%d" size="4" value="%d">\n' % (i, i) for i in range(count))
    return _document("%d inputs" % count, 'bgcolor="#FFFFFF"',
                     '<form method="post" action="/pcLogin/login">\n' + fields + "</form>\n")


def links_page(count):
    """A page of `count` links, one a line, named 链接 1 to 链接 <count>, for tests of a client's bounds."""
    links = "".join('<a href="/pcLogin/?link=%d">链接 %d</a><br>\n' % (i, i) for i in range(1, count + 1))
    return _document("%d links" % count, 'bgcolor="#FFFFFF"', links)


def short_error_page():
    return _document("无法访问", 'bgcolor="#FFFFFF"',
                     "<h3>服务器暂时无法访问</h3>\n<p>请稍后再试。</p>\n")


def not_found_page():
    return _document("404", 'bgcolor="#FFFFFF"', "<p>404 页面不存在</p>\n")


def _banner(title_size, right_cell=""):
    return ('<table width="100%" border="0" cellpadding="6" cellspacing="0"><tr>\n'
            '<td bgcolor="#8B1E2D"><img src="/static/logo.png" width="96" height="32" alt="LumoraVeldan"> '
            '<font size="' + str(title_size) + '" color="' + GOLD + '"><b>LumoraVeldan</b></font></td>\n'
            + right_cell + "</tr></table>\n")


def home_page():
    body = (
        _banner(6, '<td bgcolor="#8B1E2D" align="right"><font color="#FFFFFF">游戏门户</font></td>\n')
        + '<h2><font color="#1E3350">欢迎来到 LumoraVeldan</font></h2>\n'
        "<p>东方奇幻网页游戏，三大服务器火热开放中。</p>\n"
        '<ul>\n<li><a href="/pcLogin/">登录游戏</a></li>\n'
        '<li><a href="/game/?account=guest">游客试玩</a></li>\n'
        '<li><a href="/gamehome/vld/update.txt">客户端更新信息</a></li>\n</ul>\n'
        + _news_list())
    return _document("LumoraVeldan 游戏门户", 'bgcolor="#F4EFE4" text="#202020" style="margin:0"', body)


def game_page(account, server, session, in_url=True):
    """A game page for one account; it tells whether the request carried the
    account's session (its token, or None), and its links keep that session.
    Without `in_url` the session is a cookie: the links name only the server."""
    name, state = SERVERS[server]
    title = "LumoraVeldan - " + account
    if server != 1:
        title += " - %d服 %s" % (server, name)
    if session is None:
        session_html = '<font color="#FF8080"><b>未登录</b></font>'
    else:
        session_html = '<font color="#8FD18F"><b>已登录</b></font>（%s）' % escape(account)
    session_q = "&amp;session=" + session if session and in_url else ""
    account_q = "account=%s&amp;" % quote(account, safe="") if in_url else ""
    links = "".join(
        '<li><a href="/game/?%sserver=%d%s">%d服 %s</a>%s</li>\n'
        % (account_q, n, session_q, n, other, "（当前）" if n == server else "")
        for n, (other, _) in sorted(SERVERS.items()))
    stats = [("等级", 42 + server), ("金币", 12800 * server), ("体力", "96 / 120"), ("门派", "云麓剑宗")]
    stat_rows = "".join('<tr><td bgcolor="#24405E">%s</td><td>%s</td></tr>\n' % (k, v) for k, v in stats)
    body = (
        _banner(5, '<td bgcolor="#8B1E2D" align="right">会话：' + session_html + "</td>\n")
        + '<h2><font color="%s">%d服 %s</font> <font size="2">（%s）</font></h2>\n' % (GOLD, server, name, state)
        + "<p>帐号：<b>%s</b></p>\n" % escape(account)
        + '<table border="1" cellpadding="4" cellspacing="0" bordercolor="#3A5A80">\n'
        '<tr><th colspan="2" bgcolor="#3A5A80">角色信息</th></tr>\n' + stat_rows + "</table>\n"
        + "<p><i>今日任务：</i>前往<b>青岚谷</b>击败山魈三只。</p>\n"
        + "<ul>\n" + links + "</ul>\n")
    return _document(title, 'bgcolor="#10233A" text="#EDE6D6" link="%s" vlink="%s" style="margin:0"'
                     % (GOLD, GOLD), body)


def signed_out_page():
    """A game page asked for without a session: it says so and links to the login."""
    body = (_banner(5, '<td bgcolor="#8B1E2D" align="right">会话：<font color="#FF8080"><b>未登录</b></font></td>\n')
            + '<p>未登录：请先<a href="/pcLogin/">登录</a>。</p>\n')
    return _document("LumoraVeldan - 未登录", 'bgcolor="#10233A" text="#EDE6D6" link="%s" style="margin:0"' % GOLD, body)


HOSTILE_LOGIN_PAGES = ("many-attributes", "long-link")


def hostile_login_page(kind):
    """The login page with markup after it that tests a browser's bounds: one element with 40,000
    distinct attributes ("many-attributes"), or a link of a 1 MB address around 2000 pictures
    ("long-link")."""
    if kind == "many-attributes":
        extra = "<div " + " ".join('a%d="%d"' % (i, i) for i in range(40000)) + "></div>"
    elif kind == "long-link":
        extra = ('<a href="/game/?x=%s">' % ("a" * (1 << 20))
                 + '<img src="/static/logo.png" width="1" height="1">' * 2000 + "</a>")
    else:
        raise ValueError(kind)
    return login_page().replace("</body>", extra + "\n</body>", 1)

