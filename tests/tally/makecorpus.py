#!/usr/bin/env python3
"""Writes the decoder's seed corpus into corpus/ beside this script.

"ok-" files are containers that unpack, "bad-" files are refused by the
reader, "block-" files are raw coded blocks. Lzrw_test replays them all; the
fuzzer starts from them. Run again after changing the list below.
"""

import pathlib

HEADER = bytes.fromhex("57525a4c")


def container(size, *blocks):
    out = HEADER + size.to_bytes(4, "little")
    for block in blocks:
        out += len(block).to_bytes(2, "little") + block
    return out


def h(text):
    return bytes.fromhex(text)


RUN_4095_A = h("000fef61")
TALLY = h(
    "57525a4c160100003f00400038390d0a31320d0a300d0a002f012101902d313067ff30007f015f0d0a02af03"
    "87064f0726025006b1004f019f034602df012ff000012f012f012f0121"
)
# 32768 bytes "x": eight runs of 4095, a literal and a copy, then the empty block.
FULL_X = h(
    "57525a4c00800000260040ff40000fef78000fef78000fef78000fef78000fef78000fef78000fef78000fef78"
    "780014010080"
)
EIGHT_RUNS_EIGHT_LITERALS = h("40ff00") + RUN_4095_A * 8 + b"abcdefgh"

FILES = {
    # Worked examples of the format.
    "ok-empty.wrzl": container(0, h("80")),
    "ok-abc-stored.wrzl": container(3, h("80616263")),
    "ok-twenty-a-run.wrzl": container(20, h("40800000000461")),
    "ok-abcabcabc-copy.wrzl": container(9, h("4010006162630033")),
    "ok-fifteen-a.wrzl": container(15, h("40400061001b")),
    "ok-sixteen-a.wrzl": container(16, h("40800000000061")),
    "ok-4096-a.wrzl": container(4096, h("408000000fef6161")),
    "ok-first-start-tally.wrzl": TALLY,
    "ok-full-block-then-empty.wrzl": FULL_X,
    # Read though no coder writes them.
    "ok-flag-00.wrzl": container(9, h("0010006162630033")),
    "ok-flag-ff.wrzl": container(9, h("ff10006162630033")),
    "ok-zero-length-block.wrzl": container(0, b""),
    "ok-control-word-only.wrzl": container(0, h("40ffff")),
    "ok-copy-overlaps.wrzl": container(7, h("4020006162" "0022")),
    "ok-copy-from-first-byte.wrzl": container(22, h("400800") + b"wxyz" + h("004f")),
    "ok-seventeen-literals.wrzl": container(17, h("400000") + b"0123456789abcdef" + h("0000") + b"g"),
    "ok-exactly-32768.wrzl": container(32768, EIGHT_RUNS_EIGHT_LITERALS, h("80")),
    "ok-trailing-bytes.wrzl": container(3, h("80616263")) + b"after the end",
    # The header.
    "bad-empty-file.wrzl": b"",
    "bad-three-bytes.wrzl": b"WRZ",
    "bad-hzl-signature.wrzl": b"!HZL" + container(3, h("80616263"))[4:],
    "bad-no-signature.wrzl": b"LZRW" + container(3, h("80616263"))[4:],
    "bad-header-only.wrzl": container(3),
    "bad-length-cut.wrzl": container(3) + h("04"),
    # Cut short or sized wrong.
    "bad-block-cut.wrzl": TALLY[:-1],
    "bad-no-end-block.wrzl": FULL_X[:-3],
    "bad-size-plus-one.wrzl": container(4, h("80616263")),
    "bad-size-minus-one.wrzl": container(2, h("80616263")),
    # Blocks that break the limits of a well-formed block.
    "bad-copy-before-start.wrzl": container(3, h("408000" "0010")),
    "bad-copy-too-far-back.wrzl": container(8, h("40100061626300" "43")),
    "bad-runs-past-32768.wrzl": container(36855, h("40ff80") + RUN_4095_A * 9),
    "bad-literal-past-32768.wrzl": container(32769, EIGHT_RUNS_EIGHT_LITERALS + h("0000") + b"x"),
    "bad-copy-past-32768.wrzl": container(32778, h("40ff80") + RUN_4095_A * 8 + h("001f")),
    "bad-length-32770.wrzl": container(32769) + h("0280") + b"\x80" * 8,
    "bad-run-cut-off.wrzl": container(16, h("4080000000")),
    "bad-reference-cut-off.wrzl": container(3, h("40800000")),
    "bad-control-word-cut.wrzl": container(3, h("4080")),
    "bad-control-word-without-item.wrzl": container(16, h("400000") + b"z" * 16 + h("0000")),
    # Raw blocks.
    "block-run-bomb.bin": h("40ffff") + RUN_4095_A * 16 + h("ffff") + RUN_4095_A * 16,
    "block-copies.bin": h("403ffe") + b"ab" + h("0020") * 13 + b"c",
}


def main():
    folder = pathlib.Path(__file__).resolve().parent / "corpus"
    folder.mkdir(exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for name, data in FILES.items():
        (folder / name).write_bytes(data)
    print(f"{len(FILES)} files, {sum(map(len, FILES.values()))} bytes")


if __name__ == "__main__":
    main()
