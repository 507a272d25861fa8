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
CALLS = int(os.environ.get("ORVEX_PY_CALLS", "1000000"))


def resident_kb():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024


class ModuleTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="orvex-python-")
        self.glossary = os.path.join(self.folder.name, "glossary.xml")
        with open(self.glossary, "w", encoding="utf-8") as out:
            out.write("<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/>"
                      "<Glossary ID='8' English='No' Arabic='لا'/></Glossaries>")

    def tearDown(self):
        self.folder.cleanup()

    def table(self, language):
        table = orvex.Object("ORVEX.CTextTable2")
        table.put("ConnectingString", self.glossary)
        table.call("LoadStringsRS", "Glossary", language)
        return table

    def test_values_cross_both_ways(self):
        self.assertEqual(self.table("Arabic").get("Text", 7), "نعم")
        self.assertEqual(self.table("English").get("Text", 99), "")
        errors = orvex.Object("ORVEX.GErrors")
        self.assertEqual(errors.call("COMError", 5), -2147221499)
        logger = orvex.Object("ORVEX.CLogError")
        log = os.path.join(self.folder.name, "errors.log")
        logger.put("pLogFile", log)
        logger.put("gbDateStamp", True)
        self.assertIs(logger.get("gbDateStamp"), True)
        result, after = logger.call("LogError", "Python", "test",
                                    orvex.ErrorRecord(53, "File not found", "Client"), LT_FILE,
                                    by_ref=True)
        self.assertEqual(result & 32, 0, "the text log did not fail")  # etwelrLOGTOFILE_FAILED
        self.assertIsInstance(after[2], orvex.ErrorRecord)
        self.assertEqual(after[2].number, 53)
        with open(log, "rb") as text:
            self.assertIn("File not found".encode("utf-16-le"), text.read())
        self.assertEqual(orvex.version().count("."), 2)

    def test_failures_raise_with_number_description_and_source(self):
        cases = [
            (lambda: orvex.Object("ORVEX.NoSuchClass"), 429, ""),
            (lambda: orvex.Object("ORVEX.GErrors").call("NoSuchMember"), None, ""),
            (lambda: orvex.Object("ORVEX.CTextTable2").call(
                "LoadStringsRS", os.path.join(self.folder.name, "absent.xml")), None,
             "CTextTable2"),
        ]
        for make, number, source in cases:
            with self.assertRaises(orvex.OrvexError) as raised:
                make()
            error = raised.exception
            self.assertNotEqual(error.number, 0)
            if number is not None:
                self.assertEqual(error.number, number)
            self.assertTrue(error.description, "a description")
            self.assertIn(source, error.source)
            self.assertIn("error %d" % error.number, str(error))

    def test_a_million_texts_leave_memory_flat(self):
        table = self.table("Arabic")
        for _ in range(20000):  # settle the allocator and the interpreter's own caches
            table.get("Text", 7)
        before = resident_kb()
        for i in range(CALLS):
            table.get("Text", 7 + (i & 1))
        grown = resident_kb() - before
        print("\n%d Text calls: resident memory grew by %d KB" % (CALLS, grown), file=sys.stderr)
        # Keeping even 16 bytes a call would show as 16 MB.
        self.assertLess(grown, 4096)


if __name__ == "__main__":
    if not os.environ.get("ORVEX_LIBRARY") and len(sys.argv) > 1 and sys.argv[1].endswith(".so"):
        orvex.load(sys.argv.pop(1))
    unittest.main()
