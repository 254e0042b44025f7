"""Reading the word-table sources in data/dictionary/: "#" lines are comments,
the first other line names the columns, every further line is one row of
tab-separated cells. Shared by the scripts beside it."""


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
