#!/usr/bin/env python3
"""Drives ORVEX from Python with the orvex module (python/orvex.py): logs an error to a text log
and reads a text from a glossary.

    python3 examples/python/orvex_example.py [path/to/liborvex.so [WORK_FOLDER]]

Without a path, the library is found by ORVEX_LIBRARY or the system's library search.
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import orvex  # noqa: E402

LT_FILE = 4


def main():
    try:
        orvex.load(sys.argv[1] if len(sys.argv) > 1 else None)
    except OSError as error:
        print("orvex_example: %s\nusage: %s [path/to/liborvex.so [WORK_FOLDER]]"
              % (error, sys.argv[0]), file=sys.stderr)
        return 2
    folder = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="orvex-python-")

    logger = orvex.Object("ORVEX.CLogError")
    log_path = os.path.join(folder, "python-errors.log")
    logger.put("pLogFile", log_path)
    result = logger.call("LogError", "Python", "main",
                         orvex.ErrorRecord(53, "File not found", "PythonClient"), LT_FILE)
    print("LogError result word:", result)
    print("log file:", log_path)

    glossary = os.path.join(folder, "glossary.xml")
    with open(glossary, "w", encoding="utf-8") as out:
        out.write("<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/></Glossaries>")
    table = orvex.Object("ORVEX.CTextTable2")
    table.put("ConnectingString", glossary)
    table.call("LoadStringsRS", "Glossary", "Arabic")
    print("Text(7) in Arabic:", table.get("Text", 7))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except orvex.OrvexError as error:
        print("orvex_example:", error, file=sys.stderr)
        sys.exit(1)
