#!/usr/bin/env python3
"""Builds the user guide that ships as share/doc/Kalvor_User_Guide_Ru_2_0.doc.

The chapters are the Markdown pages listed in chapters.txt; the result is an RTF document under a ".doc"
name, which Word and LibreOffice both open. Only the Markdown the pages use is understood: headings,
paragraphs, bullet and numbered lists (nested by indentation), pipe tables, fenced code, block quotes,
images on a line of their own, bold, italic, inline code and links.

    python3 build_guide.py               rewrite the document
    python3 build_guide.py --check       exit 1 when the committed document differs from a fresh build
    python3 build_guide.py --self-test   run the converter's own tests (test_build_guide.py)

The output depends on nothing but the chapters and images, so a rebuild of unchanged pages gives the same
bytes and the committed document can be compared with a fresh build.
"""

import argparse
import os
import re
import struct
import sys

GUIDE_DIR = os.path.dirname(os.path.abspath(__file__))
REPO_DIR = os.path.dirname(os.path.dirname(GUIDE_DIR))
CHAPTER_LIST = os.path.join(GUIDE_DIR, "chapters.txt")
OUTPUT = os.path.join(REPO_DIR, "share", "doc", "Kalvor_User_Guide_Ru_2_0.doc")

DOCUMENT_TITLE = "Kalvor. Руководство пользователя"
CONTENTS_TITLE = "Содержание"

# A4 with the usual Russian office margins; all sizes in twips.
PAPER_WIDTH, PAPER_HEIGHT = 11906, 16838
MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM = 1418, 1134, 1134, 1134
TEXT_WIDTH = PAPER_WIDTH - MARGIN_LEFT - MARGIN_RIGHT
TWIPS_PER_PIXEL = 15  # screenshots are shown at 96 dpi unless wider than the text
MAX_IMAGE_HEIGHT = PAPER_HEIGHT - MARGIN_TOP - MARGIN_BOTTOM - 2000

# Colour table indexes (see HEADER).
COLOR_HEADING, COLOR_CODE_BACK, COLOR_TABLE_HEAD, COLOR_LINK, COLOR_BORDER, COLOR_NOTE = 2, 3, 4, 5, 6, 7

HEADER = (
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\uc1\n"
    "{\\fonttbl"
    "{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}"
    "{\\f1\\fswiss\\fcharset204\\fprq2 Arial;}"
    "{\\f2\\fmodern\\fcharset204\\fprq1 Courier New;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green56\\blue100;\\red242\\green242\\blue242;"
    "\\red217\\green226\\blue243;\\red5\\green70\\blue160;\\red160\\green160\\blue160;"
    "\\red89\\green89\\blue89;}\n"
    "{\\stylesheet"
    "{\\ql\\sa120\\f0\\fs24\\lang1049 \\snext0 Normal;}"
    "{\\s1\\ql\\keepn\\sb240\\sa240\\outlinelevel0\\b\\f1\\fs34\\cf2 \\sbasedon0\\snext0 heading 1;}"
    "{\\s2\\ql\\keepn\\sb320\\sa120\\outlinelevel1\\b\\f1\\fs28\\cf2 \\sbasedon0\\snext0 heading 2;}"
    "{\\s3\\ql\\keepn\\sb240\\sa100\\outlinelevel2\\b\\f1\\fs25\\cf2 \\sbasedon0\\snext0 heading 3;}"
    "{\\s4\\ql\\keepn\\sb200\\sa80\\outlinelevel3\\b\\i\\f1\\fs24\\cf2 \\sbasedon0\\snext0 heading 4;}"
    "{\\s5\\qc\\sb2400\\sa600\\b\\f1\\fs48\\cf2 \\sbasedon0\\snext0 Title;}}\n"
)

BODY_PARAGRAPH = "\\pard\\plain\\ql\\sa120\\f0\\fs24\\lang1049 "
HEADING_STYLE = {
    1: "\\s1\\ql\\keepn\\sb240\\sa240\\outlinelevel0\\b\\f1\\fs34\\cf2",
    2: "\\s2\\ql\\keepn\\sb320\\sa120\\outlinelevel1\\b\\f1\\fs28\\cf2",
    3: "\\s3\\ql\\keepn\\sb240\\sa100\\outlinelevel2\\b\\f1\\fs25\\cf2",
    4: "\\s4\\ql\\keepn\\sb200\\sa80\\outlinelevel3\\b\\i\\f1\\fs24\\cf2",
}


class GuideError(Exception):
    """A chapter the converter cannot render (missing file or image, broken PNG)."""


# ---------------------------------------------------------------------------------------------------------
# Text escaping


def escape(text):
    """RTF for plain text: the three special characters escaped, anything outside ASCII as \\uN? with N the
    signed 16-bit UTF-16 unit (a character beyond the BMP takes two)."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif ch == "\n":
            out.append("\\line ")
        elif ch == "\u00a0":
            out.append("\\~")
        elif code < 0x20:
            continue
        elif code < 0x80:
            out.append(ch)
        else:
            units = ch.encode("utf-16-be")
            for (unit,) in struct.iter_unpack(">H", units):
                out.append("\\u%d?" % (unit - 0x10000 if unit >= 0x8000 else unit))
    return "".join(out)


# ---------------------------------------------------------------------------------------------------------
# Inline Markdown

PUNCTUATION = set("\\`*_{}[]()#+-.!|<>\"'~")
LINK = re.compile(r"\[((?:[^\[\]\\]|\\.|\[[^\]]*\])*)\]\(\s*([^)\s]*)(?:\s+\"[^\"]*\")?\s*\)")
CODE_SPAN = re.compile(r"(`+)(.+?)(?<!`)\1(?!`)", re.DOTALL)
IMAGE = re.compile(r"!\[((?:[^\]\\]|\\.)*)\]\(\s*([^)\s]+)(?:\s+\"[^\"]*\")?\s*\)")


def _is_word(ch):
    return ch.isalnum()


def _find_closing(text, start, delimiter):
    """Index of the delimiter that closes an emphasis opened just before `start`, or -1. The closer must
    follow a non-blank; a single "*" must not be half of "**"; "_" must not stand inside a word."""
    i = start
    while True:
        i = text.find(delimiter, i)
        if i < 0:
            return -1
        if i > start and not text[i - 1].isspace() and text[i - 1] != "\\":
            after = text[i + len(delimiter)] if i + len(delimiter) < len(text) else ""
            doubled = len(delimiter) == 1 and (after == delimiter or text[i - 1] == delimiter)
            inside_word = delimiter[0] == "_" and _is_word(after)
            if not doubled and not inside_word:
                return i
        i += len(delimiter)


def render_inline(text):
    """RTF for one paragraph's worth of inline Markdown."""
    out = []
    plain = []

    def flush():
        if plain:
            out.append(escape("".join(plain)))
            plain.clear()

    i = 0
    n = len(text)
    while i < n:
        ch = text[i]
        if ch == "\\" and i + 1 < n and text[i + 1] in PUNCTUATION:
            plain.append(text[i + 1])
            i += 2
            continue
        if ch == "`":
            m = CODE_SPAN.match(text, i)
            if not m:
                run = len(re.match(r"`+", text[i:]).group(0))
                plain.append("`" * run)
                i += run
                continue
            code = m.group(2)
            if len(code) > 1 and code.startswith(" ") and code.endswith(" ") and code.strip():
                code = code[1:-1]
            flush()
            out.append("{\\f2\\fs21 %s}" % escape(code))
            i = m.end()
            continue
        if ch == "!" and text.startswith("![", i):
            m = IMAGE.match(text, i)
            if m:  # an image inside running text shows its description
                plain.append(m.group(1))
                i = m.end()
                continue
        if ch == "[":
            m = LINK.match(text, i)
            if m:
                flush()
                out.append(render_link(m.group(1), m.group(2)))
                i = m.end()
                continue
        if ch in "*_":
            delimiter = ch * 2 if text.startswith(ch * 2, i) else ch
            before = text[i - 1] if i > 0 else ""
            after = text[i + len(delimiter)] if i + len(delimiter) < n else ""
            opens = after and not after.isspace() and not (ch == "_" and _is_word(before))
            if opens:
                close = _find_closing(text, i + len(delimiter), delimiter)
                if close > i + len(delimiter):
                    flush()
                    inner = text[i + len(delimiter):close]
                    if len(delimiter) == 2:
                        out.append("{\\b %s}" % render_inline(inner))
                    else:
                        out.append("{\\i %s}" % render_inline(inner))
                    i = close + len(delimiter)
                    continue
            plain.append(delimiter)
            i += len(delimiter)
            continue
        plain.append(ch)
        i += 1
    flush()
    return "".join(out)


def render_link(label, target):
    text = render_inline(label)
    if re.match(r"(https?|mailto):", target):
        target = target.replace('"', "%22")
        return ('{\\field{\\*\\fldinst {HYPERLINK "%s"}}{\\fldrslt {\\ul\\cf%d %s}}}'
                % (escape(target), COLOR_LINK, text))
    # A link to another page of the guide: the text stays, the page is a chapter of this same document.
    return text


# ---------------------------------------------------------------------------------------------------------
# Block Markdown

LIST_ITEM = re.compile(r"^( *)([-*+]|\d{1,9}[.)])\s+(.*)$")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
TABLE_RULE = re.compile(r"^\s*\|?\s*:?-{1,}:?\s*(\|\s*:?-{1,}:?\s*)*\|?\s*$")
FENCE = re.compile(r"^\s*(```+|~~~+)")
LONE_IMAGE = re.compile(r"^\s*" + IMAGE.pattern + r"\s*$")


def split_row(line):
    """Cells of a pipe-table line; "\\|" and a "|" inside inline code do not split."""
    line = line.strip()
    if line.startswith("|"):
        line = line[1:]
    if line.endswith("|") and not line.endswith("\\|"):
        line = line[:-1]
    cells, current, in_code, i = [], [], False, 0
    while i < len(line):
        ch = line[i]
        if ch == "\\" and i + 1 < len(line) and line[i + 1] == "|":
            current.append("|")
            i += 2
            continue
        if ch == "`":
            in_code = not in_code
        if ch == "|" and not in_code:
            cells.append("".join(current).strip())
            current = []
        else:
            current.append(ch)
        i += 1
    cells.append("".join(current).strip())
    return cells


def parse_blocks(text):
    """The page as a list of blocks:
    ("heading", level, text) ("para", text) ("code", lines) ("quote", text) ("image", alt, path)
    ("list", [(depth, ordered, number, text), ...]) ("table", header, alignments, rows)."""
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    blocks = []
    i = 0

    def starts_block(line):
        return (not line.strip() or HEADING.match(line) or FENCE.match(line) or LIST_ITEM.match(line)
                or line.lstrip().startswith(">") or line.lstrip().startswith("|"))

    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        fence = FENCE.match(line)
        if fence:
            marker = fence.group(1)
            body = []
            i += 1
            while i < len(lines) and not lines[i].strip().startswith(marker):
                body.append(lines[i].expandtabs(4))
                i += 1
            i += 1
            blocks.append(("code", body))
            continue
        heading = HEADING.match(line)
        if heading:
            blocks.append(("heading", len(heading.group(1)), heading.group(2)))
            i += 1
            continue
        if line.lstrip().startswith("|") and i + 1 < len(lines) and TABLE_RULE.match(lines[i + 1]):
            header = split_row(line)
            alignments = []
            for rule in split_row(lines[i + 1]):
                rule = rule.strip()
                if rule.startswith(":") and rule.endswith(":"):
                    alignments.append("c")
                elif rule.endswith(":"):
                    alignments.append("r")
                else:
                    alignments.append("l")
            rows = []
            i += 2
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append(split_row(lines[i]))
                i += 1
            blocks.append(("table", header, alignments, rows))
            continue
        if line.lstrip().startswith(">"):
            quoted = []
            while i < len(lines) and lines[i].lstrip().startswith(">"):
                quoted.append(lines[i].lstrip()[1:].strip())
                i += 1
            blocks.append(("quote", " ".join(q for q in quoted if q)))
            continue
        if LIST_ITEM.match(line):
            items = []
            while i < len(lines):
                item = LIST_ITEM.match(lines[i])
                if item:
                    indent, marker, body = item.groups()
                    ordered = marker[0].isdigit()
                    number = int(marker[:-1]) if ordered else 0
                    items.append([len(indent) // 2, ordered, number, body.strip()])
                    i += 1
                elif lines[i].strip() and not starts_block(lines[i]):
                    items[-1][3] += " " + lines[i].strip()  # continuation of the item's text
                    i += 1
                elif (not lines[i].strip() and i + 1 < len(lines) and LIST_ITEM.match(lines[i + 1])
                      and LIST_ITEM.match(lines[i + 1]).group(1)):
                    i += 1  # a blank line before a nested item keeps the list together
                else:
                    break
            blocks.append(("list", [tuple(item) for item in items]))
            continue
        image = LONE_IMAGE.match(line)
        if image:
            blocks.append(("image", image.group(1), image.group(2)))
            i += 1
            continue
        paragraph = []
        while i < len(lines) and lines[i].strip() and (not paragraph or not starts_block(lines[i])):
            paragraph.append(lines[i])
            i += 1
        blocks.append(("para", join_paragraph(paragraph)))
    return blocks


def join_paragraph(lines):
    """Lines of one paragraph joined by blanks; two trailing blanks or a backslash force a line break."""
    parts = []
    for k, line in enumerate(lines):
        last = k == len(lines) - 1
        if not last and (line.endswith("  ") or line.endswith("\\")):
            parts.append(line.rstrip(" \\") + "\n")
        else:
            parts.append(line.strip() + ("" if last else " "))
    return "".join(parts).strip(" ")


# ---------------------------------------------------------------------------------------------------------
# Rendering


def png_size(data, name):
    if len(data) < 24 or data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise GuideError("%s: not a PNG file" % name)
    return struct.unpack(">II", data[16:24])


def render_image(path, alt):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise GuideError("image %s: %s" % (path, e.strerror)) from None
    width, height = png_size(data, path)
    goal_w, goal_h = width * TWIPS_PER_PIXEL, height * TWIPS_PER_PIXEL
    scale = min(1.0, TEXT_WIDTH / goal_w, MAX_IMAGE_HEIGHT / goal_h)
    goal_w, goal_h = int(round(goal_w * scale)), int(round(goal_h * scale))
    hexdata = data.hex()
    rows = "\n".join(hexdata[k:k + 128] for k in range(0, len(hexdata), 128))
    out = ["\\pard\\plain\\qc\\keepn\\sb120\\sa60\\f0\\fs24 "
           "{\\pict\\pngblip\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\n%s\n}\\par\n"
           % (width, height, goal_w, goal_h, rows)]
    if alt:
        out.append("\\pard\\plain\\qc\\sa200\\f0\\fs20\\i\\cf%d %s\\par\n" % (COLOR_NOTE, render_inline(alt)))
    return "".join(out)


def column_widths(header, rows):
    """Twips per column, shared out by how much text each column carries."""
    count = len(header)
    weights = []
    for c in range(count):
        lengths = [len(r[c]) if c < len(r) else 0 for r in [header] + rows]
        longest = max(lengths)
        average = sum(lengths) / len(lengths)
        weights.append(max(6.0, min(60.0, (longest + 2 * average) / 3)))
    total = sum(weights)
    widths = [int(TEXT_WIDTH * w / total) for w in weights]
    widths[-1] += TEXT_WIDTH - sum(widths)
    return widths


def render_table(header, alignments, rows):
    count = len(header)
    widths = column_widths(header, rows)
    border = "\\brdrs\\brdrw8\\brdrcf%d" % COLOR_BORDER

    def row(cells, head):
        out = ["\\trowd\\trgaph85\\trleft0\\trkeep%s\n" % ("\\trhdr" if head else "")]
        right = 0
        for width in widths:
            right += width
            out.append("\\clbrdrt%s\\clbrdrl%s\\clbrdrb%s\\clbrdrr%s%s\\cellx%d\n"
                       % (border, border, border, border,
                          "\\clcbpat%d" % COLOR_TABLE_HEAD if head else "", right))
        for c in range(count):
            text = cells[c] if c < len(cells) else ""
            align = "\\q" + (alignments[c] if c < len(alignments) else "l")
            content = render_inline(text)
            if head:
                content = "{\\b %s}" % content
            out.append("\\pard\\plain\\intbl%s\\sa40\\f0\\fs22 %s\\cell\n" % (align, content))
        out.append("\\row\n")
        return "".join(out)

    parts = [row(header, True)] + [row(r, False) for r in rows]
    return "".join(parts) + "\\pard\\plain\\sa120\\par\n"


def render_list(items):
    out = []
    counters = {}
    for depth, ordered, number, text in items:
        for deeper in [d for d in counters if d > depth]:
            del counters[deeper]
        if ordered:
            counters[depth] = counters[depth] + 1 if depth in counters else number
            mark = "%d." % counters[depth]
        else:
            counters.pop(depth, None)
            mark = "\u2022" if depth % 2 == 0 else "\u2013"
        indent = 567 + 425 * depth
        out.append("\\pard\\plain\\ql\\fi-340\\li%d\\tx%d\\sa60\\f0\\fs24\\lang1049 %s\\tab %s\\par\n"
                   % (indent, indent, escape(mark), render_inline(text)))
    out.append("\\pard\\plain\\sa60\\fs12\\par\n")
    return "".join(out)


def render_code(lines):
    body = "\\line\n".join(escape(line) for line in lines)
    return ("\\pard\\plain\\ql\\li284\\ri284\\sb60\\sa160\\cbpat%d\\f2\\fs19\\lang1033 %s\\par\n"
            % (COLOR_CODE_BACK, body))


class Numbering:
    """Section numbers "3.", "3.2.", "3.2.1." for headings of levels 1-3 of the chapters."""

    def __init__(self):
        self.levels = []

    def next(self, level):
        if level > 3:
            return ""
        while len(self.levels) < level:
            self.levels.append(0)
        del self.levels[level:]
        self.levels[level - 1] += 1
        return ".".join(str(n) for n in self.levels) + ". "


def render_blocks(blocks, base_dir, numbering=None, chapter_start=False):
    """RTF for the blocks of one chapter. Headings are numbered when `numbering` is given; the chapter's
    first heading starts a new page when `chapter_start` is set."""
    out = []
    first_heading = True
    for block in blocks:
        kind = block[0]
        if kind == "heading":
            level, text = min(block[1], 4), block[2]
            number = numbering.next(level) if numbering else ""
            page = "\\pagebb" if chapter_start and first_heading else ""
            first_heading = False
            out.append("\\pard\\plain%s%s %s%s\\par\n"
                       % (HEADING_STYLE[level], page, escape(number), render_inline(text)))
        elif kind == "para":
            out.append(BODY_PARAGRAPH + render_inline(block[1]) + "\\par\n")
        elif kind == "quote":
            out.append("\\pard\\plain\\ql\\li567\\sa120\\brdrl\\brdrs\\brdrw20\\brdrcf%d\\brsp120\\f0\\fs24\\i "
                       "%s\\par\n" % (COLOR_BORDER, render_inline(block[1])))
        elif kind == "code":
            out.append(render_code(block[1]))
        elif kind == "list":
            out.append(render_list(block[1]))
        elif kind == "table":
            out.append(render_table(block[1], block[2], block[3]))
        elif kind == "image":
            out.append(render_image(os.path.normpath(os.path.join(base_dir, block[2])), block[1]))
    return "".join(out)


def strip_markup(text):
    """Heading text without inline markup, for the contents."""
    text = LINK.sub(lambda m: m.group(1), text)
    return re.sub(r"[`*]|(?<!\w)_|_(?!\w)", "", text)


# ---------------------------------------------------------------------------------------------------------
# The document


def read_chapter_list(path=CHAPTER_LIST):
    """Chapter files in order, as absolute paths; blank lines and "#" comments are skipped."""
    base = os.path.dirname(path)
    chapters = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                chapters.append(os.path.normpath(os.path.join(base, line)))
    if not chapters:
        raise GuideError("%s lists no chapters" % path)
    return chapters


def read_page(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError as e:
        raise GuideError("chapter %s: %s" % (path, e.strerror)) from None


def title_blocks(blocks):
    """The title page keeps its opening: the first heading and what follows, up to its first section
    (the online index's list of pages, which the contents replace)."""
    kept = []
    for block in blocks:
        if block[0] == "heading" and kept:
            break
        kept.append(block)
    return kept


def build_document(pages):
    """The whole RTF document from (path, markdown) pairs; the first page is the title page."""
    (title_path, title_text), chapters = pages[0], pages[1:]
    out = [HEADER,
           "{\\info{\\title %s}{\\author Kalvor}}\n" % escape(DOCUMENT_TITLE),
           "\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d\\viewkind1\n"
           % (PAPER_WIDTH, PAPER_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM),
           "{\\footer \\pard\\plain\\qc\\f0\\fs18 {\\field{\\*\\fldinst { PAGE }}{\\fldrslt {1}}}\\par}\n"]

    title = title_blocks(parse_blocks(title_text))
    for block in title:
        if block[0] == "heading":
            out.append("\\pard\\plain\\s5\\qc\\sb2400\\sa600\\b\\f1\\fs48\\cf2 %s\\par\n" % render_inline(block[2]))
        else:
            out.append(render_blocks([block], os.path.dirname(title_path)))

    parsed = [(path, parse_blocks(text)) for path, text in chapters]
    contents = Numbering()
    out.append("\\pard\\plain\\ql\\keepn\\sb480\\sa200\\b\\f1\\fs28\\cf%d %s\\par\n"
               % (COLOR_HEADING, escape(CONTENTS_TITLE)))
    for _, blocks in parsed:
        for block in blocks:
            if block[0] == "heading" and block[1] <= 2:
                number = contents.next(block[1])
                indent = 0 if block[1] == 1 else 567
                weight = "\\b" if block[1] == 1 else ""
                out.append("\\pard\\plain\\ql\\li%d\\sa60\\f0\\fs24%s %s%s\\par\n"
                           % (indent, weight, escape(number), escape(strip_markup(block[2]))))

    numbering = Numbering()
    for path, blocks in parsed:
        out.append(render_blocks(blocks, os.path.dirname(path), numbering, chapter_start=True))
    out.append("}\n")
    return "".join(out)


def build(chapter_list=CHAPTER_LIST):
    pages = [(path, read_page(path)) for path in read_chapter_list(chapter_list)]
    return build_document(pages).encode("ascii")


def self_test():
    import unittest
    sys.dont_write_bytecode = True  # no __pycache__ in the source tree
    sys.path.insert(0, GUIDE_DIR)
    suite = unittest.defaultTestLoader.loadTestsFromName("test_build_guide")
    return unittest.TextTestRunner(verbosity=1).run(suite).wasSuccessful()


def main(argv=None):
    parser = argparse.ArgumentParser(description="Builds the user guide document from its Markdown chapters.")
    parser.add_argument("--check", action="store_true", help="compare with the committed document, write nothing")
    parser.add_argument("--self-test", action="store_true", help="run the converter's tests first")
    parser.add_argument("--output", default=OUTPUT, help="document to write or check (default: %(default)s)")
    args = parser.parse_args(argv)

    if args.self_test and not self_test():
        return 1
    try:
        document = build()
    except GuideError as e:
        print("build_guide: %s" % e, file=sys.stderr)
        return 1
    rel = os.path.relpath(args.output, REPO_DIR)
    if args.check:
        try:
            with open(args.output, "rb") as f:
                current = f.read()
        except OSError:
            current = None
        # RTF ignores line ends, so a checkout that turned them into CR LF still holds the same document.
        if current is None or current.replace(b"\r\n", b"\n") != document:
            print("build_guide: %s is out of date; rebuild it with: python3 doc/guide/build_guide.py" % rel,
                  file=sys.stderr)
            return 1
        print("build_guide: %s is up to date" % rel)
        return 0
    os.makedirs(os.path.dirname(args.output), exist_ok=True)
    with open(args.output, "wb") as f:
        f.write(document)
    print("build_guide: wrote %s (%d bytes)" % (rel, len(document)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
