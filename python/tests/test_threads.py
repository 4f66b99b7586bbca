"""mog.write from several threads at once: every file ends whole, as one
thread wrote it, and no temporary file is left."""

import threading

import mog


def test_threads_write_whole_files(tmp_path):
    names = [tmp_path / f"f{k:02}.d64" for k in range(16)]
    payloads = [bytes([t]) * 100_000 + bytes(range(256)) * t for t in range(8)]
    start = threading.Barrier(len(payloads))

    def writer(payload):
        start.wait()
        for _ in range(4):
            for name in names:
                mog.write(name, payload, replace=True)

    threads = [threading.Thread(target=writer, args=(payload,)) for payload in payloads]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert sorted(tmp_path.iterdir()) == names
    assert all(name.read_bytes() in payloads for name in names)
