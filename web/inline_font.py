"""Writes the page's shell: page.html with the font put in as base64 where
it says @MOG_FONT_WOFF2_BASE64@ and the font's licence as text where it says
@MOG_FONT_LICENCE@.

Usage: python3 inline_font.py page.html font.woff2 LICENSE.txt shell.html
"""
import base64
import html
import sys


def put(text, placeholder, value, where):
    if text.count(placeholder) != 1:
        sys.exit("%s: %s must appear exactly once" % (where, placeholder))
    return text.replace(placeholder, value)


def main():
    page_path, font_path, licence_path, shell_path = sys.argv[1:]
    with open(page_path, encoding="utf-8") as page:
        text = page.read()
    with open(font_path, "rb") as font:
        text = put(text, "@MOG_FONT_WOFF2_BASE64@", base64.b64encode(font.read()).decode("ascii"), page_path)
    with open(licence_path, encoding="utf-8") as licence:
        text = put(text, "@MOG_FONT_LICENCE@", html.escape(licence.read().rstrip("\n")), page_path)
    with open(shell_path, "w", encoding="utf-8", newline="\n") as shell:
        shell.write(text)


if __name__ == "__main__":
    main()
