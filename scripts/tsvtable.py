"""Reading the word-table sources in data/dictionary/: "#" lines are comments,
the first other line names the columns, every further line is one row of
tab-separated cells. Also jieba's word list with its counts. Shared by the
scripts beside it."""

JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"


def read_jieba_counts(path=JIEBA):
    """jieba's words with their counts (Debian's python3-jieba, MIT)."""
    counts = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                counts[parts[0]] = int(parts[1])
    return counts


def read_rows(path):
    """The rows of a table source as lists of cells, the column line left out."""
    rows = []
    with open(path, encoding="utf-8") as f:
        header = None
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if header is None:
                header = line
                continue
            rows.append(line.split("\t"))
    return rows
