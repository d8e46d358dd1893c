"""Checks of the Markdown to RTF converter; run with: python3 build_guide.py --self-test"""

import contextlib
import io
import os
import re
import struct
import tempfile
import unittest
import zlib

import build_guide as guide


def group_depths_balanced(rtf):
    """True when every "{" has its "}" and no group closes before it opens; escaped braces and the hex
    of pictures do not count."""
    depth = 0
    i = 0
    while i < len(rtf):
        ch = rtf[i]
        if ch == "\\":
            i += 2
            continue
        if ch == "{":
            depth += 1
        elif ch == "}":
            depth -= 1
            if depth < 0:
                return False
        i += 1
    return depth == 0


def tiny_png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\x00" + b"\xff\x00\x00" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


class EscapingTest(unittest.TestCase):
    def test_text_outside_ascii_becomes_unicode_escapes(self):
        self.assertEqual(guide.escape("Ёж"), "\\u1025?\\u1078?")
        # Guillemets and typographic quotes are escaped, the ASCII quote is plain text.
        self.assertEqual(guide.escape("«a» “b” \"c\""), "\\u171?a\\u187? \\u8220?b\\u8221? \"c\"")
        # Code units from 0x8000 up are written as negative numbers; beyond the BMP as a surrogate pair.
        self.assertEqual(guide.escape("\uff01"), "\\u-255?")
        self.assertEqual(guide.escape("\U0001f600"), "\\u-10179?\\u-8704?")

    def test_rtf_special_characters_are_escaped(self):
        self.assertEqual(guide.escape("a{b}c\\d"), "a\\{b\\}c\\\\d")
        self.assertEqual(guide.escape("x\ty"), "x\\tab y")

    def test_inline_markup(self):
        self.assertEqual(guide.render_inline("**жир** и *наклон*"),
                         "{\\b %s} %s {\\i %s}" % (guide.escape("жир"), guide.escape("и"), guide.escape("наклон")))
        # Inside code nothing is markup, but braces and backslashes are still escaped.
        self.assertEqual(guide.render_inline("`*a* {\\t}`"), "{\\f2\\fs21 *a* \\{\\\\t\\}}")
        # Underscores inside words and escaped asterisks stay literal.
        self.assertEqual(guide.render_inline("kalvor_2.4_x и \\*"), "kalvor_2.4_x \\u1080? *")
        # Links to other pages keep their text; web links become hyperlink fields.
        self.assertEqual(guide.render_inline("[start](start.md)"), "start")
        self.assertIn('HYPERLINK "https://example.org/a"', guide.render_inline("[site](https://example.org/a)"))


class BlockTest(unittest.TestCase):
    def test_table_rows_and_cells(self):
        blocks = guide.parse_blocks("| A | Б |\n|---|:-:|\n| `x|y` | a \\| b |\n| 1 | 2 |\n")
        self.assertEqual(blocks, [("table", ["A", "Б"], ["l", "c"], [["`x|y`", "a | b"], ["1", "2"]])])
        rtf = guide.render_blocks(blocks, ".")
        self.assertEqual(rtf.count("\\row"), 3)
        self.assertEqual(rtf.count("\\cell\n"), 6)
        self.assertEqual(rtf.count("\\trhdr"), 1)  # the header row repeats on every page
        self.assertEqual(rtf.count("\\cellx%d" % guide.TEXT_WIDTH), 3)  # the columns fill the text width
        self.assertTrue(group_depths_balanced(rtf))

    def test_lists_number_and_nest(self):
        blocks = guide.parse_blocks("1. один\n   дальше\n2. два\n   - вложенный\n3. три\n\nабзац\n")
        self.assertEqual(blocks[0], ("list", [(0, True, 1, "один дальше"), (0, True, 2, "два"),
                                              (1, False, 0, "вложенный"), (0, True, 3, "три")]))
        self.assertEqual(blocks[1], ("para", "абзац"))
        marks = re.findall(r"\\lang1049 (.*?)\\tab", guide.render_blocks(blocks, "."))
        self.assertEqual(marks, ["1.", "2.", "\\u8211?", "3."])  # a dash marks the inner level

    def test_headings_are_numbered_per_chapter_and_section(self):
        numbering = guide.Numbering()
        text = "# Глава\n## Раздел\n### Пункт\n## Второй\n"
        guide.render_blocks(guide.parse_blocks(text), ".", numbering)
        rtf = guide.render_blocks(guide.parse_blocks(text), ".", numbering, chapter_start=True)
        self.assertEqual(re.findall(r"\\cf2(?:\\pagebb)? (\d[\d.]*\.) ", rtf), ["2.", "2.1.", "2.1.1.", "2.2."])
        self.assertEqual(rtf.count("\\pagebb"), 1)


    def test_code_block_is_verbatim_and_title_page_keeps_its_opening(self):
        blocks = guide.parse_blocks("```\n**a** {b}\n\tc\n```\n")
        self.assertEqual(blocks, [("code", ["**a** {b}", "    c"])])
        self.assertIn("**a** \\{b\\}\\line\n    c\\par", guide.render_blocks(blocks, "."))
        page = guide.parse_blocks("# Руководство\n\nВведение.\n\n## Разделы\n\n- [Глава](a.md)\n")
        self.assertEqual(guide.title_blocks(page), [("heading", 1, "Руководство"), ("para", "Введение.")])


class ImageTest(unittest.TestCase):
    def test_png_is_embedded_as_hex_with_its_size(self):
        data = tiny_png(3, 2)
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "shot.png"), "wb") as f:
                f.write(data)
            rtf = guide.render_blocks(guide.parse_blocks("![Окно](shot.png)\n"), folder)
        self.assertIn("\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30", rtf)
        self.assertEqual(re.sub(r"\s", "", re.search(r"\\pichgoal30\n([0-9a-f\n]+)\n}", rtf).group(1)), data.hex())
        self.assertIn("\\u1054?\\u1082?\\u1085?\\u1086?", rtf)  # the description is the caption

    def test_wide_image_is_scaled_to_the_text_width(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "wide.png"), "wb") as f:
                f.write(tiny_png(2000, 100))
            rtf = guide.render_image(os.path.join(folder, "wide.png"), "")
        self.assertIn("\\picwgoal%d\\pichgoal%d" % (guide.TEXT_WIDTH, round(1500 * guide.TEXT_WIDTH / 30000)), rtf)

    def test_missing_or_broken_image_stops_the_build(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "bad.png"), "wb") as f:
                f.write(b"GIF89a not a png at all")
            for name in ("none.png", "bad.png"):
                with self.assertRaises(guide.GuideError):
                    guide.render_image(os.path.join(folder, name), "")


class DocumentTest(unittest.TestCase):
    def test_check_fails_on_a_stale_document_and_passes_after_a_rebuild(self):
        with tempfile.TemporaryDirectory() as folder:
            output = os.path.join(folder, "guide.doc")
            with open(output, "wb") as f:
                f.write(b"{\\rtf1 stale}")
            quiet = io.StringIO()
            with contextlib.redirect_stdout(quiet), contextlib.redirect_stderr(quiet):
                results = [guide.main(["--check", "--output", output]), guide.main(["--output", output]),
                           guide.main(["--check", "--output", output])]
        self.assertEqual(results, [1, 0, 0])


    def test_shipped_guide_is_well_formed_and_reproducible(self):
        first = guide.build()
        self.assertEqual(first, guide.build())
        rtf = first.decode("ascii")
        self.assertTrue(rtf.startswith("{\\rtf1\\ansi\\ansicpg1251"))
        self.assertTrue(rtf.endswith("}\n"))
        self.assertTrue(group_depths_balanced(rtf))
        # Every chapter heading is in the contents and opens a page of its own.
        chapters = guide.read_chapter_list()
        self.assertEqual(rtf.count("\\pagebb"), len(chapters) - 1)
        self.assertIn(guide.escape(guide.CONTENTS_TITLE), rtf)


if __name__ == "__main__":
    unittest.main()
