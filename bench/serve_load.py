#!/usr/bin/env python3
"""Loopback load on `plover serve`: CLIENTS clients each make ROUNDS mixed
requests (inspect, design, response) at once, after the same requests made
one at a time. Every concurrent answer must equal the one-at-a-time answer.

    python3 bench/serve_load.py build/tools/plover [--clients 8] [--rounds 50]

Prints, per request kind, the one-at-a-time median and the p50/p95 under
load, and the server's resident memory after warm-up, half-way and at the
end. Exit status 1 on any error or differing answer.
"""

import argparse
import http.client
import json
import pathlib
import statistics
import subprocess
import sys
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]


def blueprint(name):
    return json.loads((ROOT / "examples" / f"{name}.json").read_text())


REQUESTS = {
    "inspect": ("/api/inspect", {"blueprint": blueprint("lte-20mhz-2t2r-tdd")}),
    "design": ("/api/design", {"blueprint": blueprint("lte-20mhz-2t2r-tdd")}),
    "response": ("/api/response", {"blueprint": blueprint("dmr-12p5khz-24ksps"), "port": "rx", "channel": 1,
                                   "maxPoints": 2048}),
}


def rss_kib(pid):
    for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


class Client:
    def __init__(self, port):
        self.connection = http.client.HTTPConnection("127.0.0.1", port, timeout=300)

    def call(self, kind):
        path, body = REQUESTS[kind]
        start = time.perf_counter()
        self.connection.request("POST", path, json.dumps(body), {"Content-Type": "application/json"})
        response = self.connection.getresponse()
        payload = response.read()
        return time.perf_counter() - start, response.status, payload


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tool")
    parser.add_argument("--clients", type=int, default=8)
    parser.add_argument("--rounds", type=int, default=50)
    parser.add_argument("--single", type=int, default=10, help="one-at-a-time requests of each kind")
    args = parser.parse_args()

    server = subprocess.Popen([args.tool, "serve", "--port", "0"], stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline().strip().rstrip("/").rsplit(":", 1)[1])
        one = Client(port)
        expected, single = {}, {}
        for kind in REQUESTS:
            one.call(kind)  # warm-up
            runs = [one.call(kind) for _ in range(args.single)]
            if any(status != 200 for _, status, _ in runs):
                sys.exit(f"{kind}: one-at-a-time request failed")
            expected[kind] = runs[0][2]
            single[kind] = [t for t, _, _ in runs]
        memory = [("after warm-up", rss_kib(server.pid))]

        kinds = list(REQUESTS)
        latencies = {kind: [] for kind in kinds}
        problems = []
        lock = threading.Lock()
        done = [0]
        total = args.clients * args.rounds

        def client(index):
            c = Client(port)
            for r in range(args.rounds):
                kind = kinds[(index + r) % len(kinds)]
                elapsed, status, payload = c.call(kind)
                with lock:
                    latencies[kind].append(elapsed)
                    if status != 200 or payload != expected[kind]:
                        problems.append(f"{kind}: status {status}, answer {'equal' if payload == expected[kind] else 'differs'}")
                    done[0] += 1
                    if done[0] == total // 2:
                        memory.append(("half-way", rss_kib(server.pid)))

        start = time.perf_counter()
        threads = [threading.Thread(target=client, args=(i,)) for i in range(args.clients)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        wall = time.perf_counter() - start
        memory.append(("end", rss_kib(server.pid)))
    finally:
        server.terminate()
        server.wait(timeout=30)

    print(f"{args.clients} clients x {args.rounds} requests in {wall:.1f} s; {len(problems)} errors or differing answers")
    print(f"{'kind':10} {'alone median':>13} {'load p50':>10} {'load p95':>10} {'p95/median':>11}")
    worst = 0.0
    for kind in kinds:
        median = statistics.median(single[kind])
        p95 = percentile(latencies[kind], 95)
        worst = max(worst, p95 / median)
        print(f"{kind:10} {median * 1000:11.1f} ms {percentile(latencies[kind], 50) * 1000:7.1f} ms "
              f"{p95 * 1000:7.1f} ms {p95 / median:10.1f}x")
    print("server memory: " + ", ".join(f"{name} {kib / 1024:.1f} MiB" for name, kib in memory))
    for problem in problems[:10]:
        print("  " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
