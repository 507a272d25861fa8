"""The Python module over the C interface: values both ways, errors as exceptions, and nothing
kept after a call (a million Text calls leave the process's memory where it was).

    ORVEX_LIBRARY=build/liborvex.so python3 tests/python/test_orvex.py
"""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "python"))
import orvex  # noqa: E402

LT_FILE = 4
LOGTOFILE_FAILED = 32
CALLS = int(os.environ.get("ORVEX_PY_CALLS", "1000000"))


def resident_kb():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024


class ModuleTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="orvex-python-")
        self.addCleanup(self.folder.cleanup)
        glossary = os.path.join(self.folder.name, "glossary.xml")
        with open(glossary, "w", encoding="utf-8") as out:
            out.write("<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/>"
                      "<Glossary ID='8' English='No' Arabic='لا'/></Glossaries>")
        self.table = orvex.Object("ORVEX.CTextTable2")
        self.table.put("ConnectingString", glossary)
        self.table.call("LoadStringsRS", "Glossary", "Arabic")

    def test_values_cross_both_ways(self):
        self.assertEqual(self.table.get("Text", 8), "لا")
        self.assertEqual(self.table.get("Text", 99), "")
        self.assertEqual(orvex.Object("ORVEX.GErrors").call("COMError", 5), -2147221499)
        logger = orvex.Object("ORVEX.CLogError")
        logger.put("pLogFile", os.path.join(self.folder.name, "errors.log"))
        logger.put("gbDateStamp", True)
        self.assertIs(logger.get("gbDateStamp"), True)
        result, after = logger.call("LogError", "Python", "test",
                                    orvex.ErrorRecord(53, "File not found", "Client"), LT_FILE,
                                    by_ref=True)
        self.assertEqual(result & LOGTOFILE_FAILED, 0)
        self.assertIsInstance(after[2], orvex.ErrorRecord)
        self.assertEqual(after[2].number, 53)

    def test_failures_raise_with_number_description_and_source(self):
        for make, number, source in [
                (lambda: orvex.Object("ORVEX.NoSuchClass"), 429, ""),
                (lambda: orvex.Object("ORVEX.GErrors").call("NoSuchMember"), -2147352570, ""),
                (lambda: orvex.Object("ORVEX.CTextTable2").call("LoadStringsRS", "Glossary"), None,
                 "CTextTable2")]:
            with self.assertRaises(orvex.OrvexError) as raised:
                make()
            error = raised.exception
            self.assertEqual(error.number, number or error.number)
            self.assertNotEqual(error.number, 0)
            self.assertTrue(error.description)
            self.assertIn(source, error.source)
            self.assertIn("error %d" % error.number, str(error))

    def test_a_million_texts_leave_memory_flat(self):
        for _ in range(20000):  # settle the allocator and the interpreter's own caches
            self.table.get("Text", 7)
        before = resident_kb()
        for i in range(CALLS):
            self.table.get("Text", 7 + (i & 1))
        grown = resident_kb() - before
        print("\n%d Text calls: resident memory grew by %d KB" % (CALLS, grown), file=sys.stderr)
        # Keeping even 16 bytes a call would show as 16 MB.
        self.assertLess(grown, 4096)


if __name__ == "__main__":
    if not os.environ.get("ORVEX_LIBRARY") and len(sys.argv) > 1 and sys.argv[1].endswith(".so"):
        orvex.load(sys.argv.pop(1))
    unittest.main()
