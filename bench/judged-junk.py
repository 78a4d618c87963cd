#!/usr/bin/env python3
"""Judged junk in the association lists of a running service.

Asks the service for the top 50 of every cue of the development list, looks each (cue, word) up in
the pooled labels (bench/judged-labels.tsv: cue, word, label G/W/J, junk class) and prints per cue
and overall the junk share of the top 10 and the top 50 (J / N), the share of good words (G / N)
and how many words have no label yet. Unlabelled words are never guessed: they are left out of N
and counted, and --unlabelled FILE writes them out for a judge.

  bench/judged-junk.py [URL] [--cues FILE] [--labels FILE] [--unlabelled FILE] [--list]

URL defaults to http://127.0.0.1:27431.
"""
import argparse
import collections
import json
import pathlib
import sys
import urllib.parse
import urllib.request

BENCH = pathlib.Path(__file__).resolve().parent
EVAL = BENCH.parent.parent / 'shared' / 'eval'
CLASSES = {'own-form', 'bad-compound', 'obscure', 'unrelated', 'non-word', 'offensive-unrelated'}
TOP = 50


def fetch(url, cue):
    query = urllib.parse.urlencode({'q': cue, 'n': TOP, 'format': 'json'})
    try:
        with urllib.request.urlopen(url + '/api/v1/associations?' + query, timeout=30) as reply:
            result = json.load(reply)['results'][0]
    except (OSError, ValueError, KeyError, IndexError) as error:
        sys.exit('%s: no list for %s: %s' % (url, cue, error))
    return [a['word'] for a in result['associations']][:TOP]


def read_cues(path):
    cues = []
    for line in open(path, encoding='utf-8'):
        cue = line.split('\t')[0].strip()
        if cue and not cue.startswith('#') and cue not in cues:
            cues.append(cue)
    return cues


def read_labels(path):
    """(cue, word) -> (label, class); a malformed or contradicting row stops the script."""
    labels = {}
    lines = open(path, encoding='utf-8').read().splitlines()
    for number, line in enumerate(lines[1:], 2):
        if not line.strip():
            continue
        cells = line.split('\t')
        cue, word, label, junk_class = (cells + ['', '', ''])[:4]
        sound = label in ('G', 'W') and not junk_class or label == 'J' and junk_class in CLASSES
        if len(cells) > 4 or not cue or not word or not sound:
            sys.exit('%s:%d: bad row %r' % (path, number, line))
        if labels.setdefault((cue, word), (label, junk_class)) != (label, junk_class):
            sys.exit('%s:%d: %s / %s labelled twice, differently' % (path, number, cue, word))
    return labels


def shares(labelled, k):
    """(junk share, good share, N) over the labelled words among the first k."""
    top = [label for rank, label in labelled if rank <= k]
    if not top:
        return 0.0, 0.0, 0
    return top.count('J') / len(top), top.count('G') / len(top), len(top)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('url', nargs='?', default='http://127.0.0.1:27431')
    parser.add_argument('--cues', default=EVAL / 'dev-cues.tsv')
    parser.add_argument('--labels', default=BENCH / 'judged-labels.tsv')
    parser.add_argument('--unlabelled', metavar='FILE', help='write the unlabelled cue, rank, word rows')
    parser.add_argument('--list', action='store_true', help='print the lists with their labels')
    args = parser.parse_args()

    labels = read_labels(args.labels)
    rows, missing, pooled, classes = [], [], [], collections.Counter()
    for cue in read_cues(args.cues):
        words = fetch(args.url.rstrip('/'), cue)
        labelled, junk = [], []
        for rank, word in enumerate(words, 1):
            label, junk_class = labels.get((cue, word), ('?', ''))
            if args.list:
                print('%s\t%d\t%s\t%s\t%s' % (cue, rank, word, label, junk_class))
            if label == '?':
                missing.append((cue, rank, word))
                continue
            labelled.append((rank, label))
            if label == 'J':
                junk.append('%s (%s)' % (word, junk_class))
                classes[junk_class] += 1
        pooled += labelled
        unlabelled = len(words) - len(labelled)
        rows.append((cue, shares(labelled, 10), shares(labelled, TOP), unlabelled, junk))

    print('%-14s %8s %8s %6s %4s %s' % ('cue', 'junk@10', 'junk@50', 'G/N', 'N', 'unlabelled'))
    for cue, (j10, _, _), (j50, good, n), unlabelled, _ in rows:
        print('%-14s %8.3f %8.3f %6.3f %4d %d' % (cue, j10, j50, good, n, unlabelled))
    j10, _, n10 = shares(pooled, 10)
    j50, good, n50 = shares(pooled, TOP)
    print('overall: junk top10 %.3f (N %d), junk top50 %.3f, G/N %.3f (N %d), unlabelled %d'
          % (j10, n10, j50, good, n50, len(missing)))
    print('junk by class:', ', '.join('%s %d' % item for item in classes.most_common()))
    print('worst ten by junk top50:')
    for cue, _, (j50, _, _), _, junk in sorted(rows, key=lambda row: -row[2][0])[:10]:
        print('  %s %.3f: %s' % (cue, j50, ', '.join(junk)))
    if args.unlabelled:
        with open(args.unlabelled, 'w', encoding='utf-8') as out:
            out.write('cue\trank\tword\n')
            out.writelines('%s\t%d\t%s\n' % row for row in missing)
    if missing:
        print('%d words have no label: the figures above leave them out' % len(missing))


if __name__ == '__main__':
    main()
