#!/usr/bin/env python3
"""Checks a conversion of serviceproviders.xml against a count of its own.

    check-provider-table.py --xml <xml> --report <generator's report> [--dump <dump program> [--fixture-table]]

Reads the XML with a different parser (xml.dom.minidom) and other code than the generator, and
compares the numbers of network ids, providers and APNs with the generator's report. With a dump
program (one that prints the compiled table through the lookup functions) it also compares, for
every network id, the providers listed (primary first) and each provider's APNs.

What counts, as the program uses the database: the GSM part of a provider; a provider only when
it lists at least one network id (nothing can find the others); a network id once however many
providers or lines list it.
"""

import argparse
import json
import subprocess
import sys
from xml.dom import minidom


def children(node, tag):
    return [c for c in node.childNodes if c.nodeType == c.ELEMENT_NODE and c.tagName == tag]


def text(node):
    return ''.join(c.data for c in node.childNodes if c.nodeType in (c.TEXT_NODE, c.CDATA_SECTION_NODE)).strip()


def name_of(node):
    names = children(node, 'name')
    for name in names:
        if not name.hasAttribute('xml:lang'):
            return text(name)
    for name in names:
        if name.getAttribute('xml:lang') == 'en':
            return text(name)
    return text(names[0]) if names else ''


def expected_table(path):
    document = minidom.parse(path)
    providers = []
    for country in children(document.documentElement, 'country'):
        for provider in children(country, 'provider'):
            gsm = children(provider, 'gsm')
            if not gsm:
                continue
            ids = []
            for network in children(gsm[0], 'network-id'):
                key = network.getAttribute('mcc') + '-' + network.getAttribute('mnc')
                if key not in ids:
                    ids.append(key)
            if not ids:
                continue
            rank = {'true': 0, 'false': 2}.get(provider.getAttribute('primary'), 1)
            apns = [apn.getAttribute('value').strip() for apn in children(gsm[0], 'apn')]
            providers.append((name_of(provider), rank, ids, apns))
    networks = {}
    for name, rank, ids, apns in providers:
        for key in ids:
            networks.setdefault(key, []).append((rank, name, apns))
    listing = {}
    for key, entries in networks.items():
        entries.sort(key=lambda entry: entry[0])  # stable: the file's order within a rank
        listing[key] = [(name, apns) for _, name, apns in entries]
    counts = {'networkIds': len(networks), 'providers': len(providers),
              'apns': sum(len(apns) for _, _, _, apns in providers)}
    return counts, listing


def dumped_table(command):
    """Lines: 'counts <networks> <providers> <apns>', then per network id
    'network <mcc>-<mnc>', followed by 'provider <name>' and 'apn <value>' lines."""
    result = subprocess.run(command, capture_output=True, timeout=120)
    if result.returncode != 0:
        raise SystemExit('%s failed: %s' % (' '.join(command), result.stderr.decode('utf-8', 'replace')))
    counts, listing, network = None, {}, None
    for line in result.stdout.decode('utf-8').split('\n'):
        kind, _, value = line.partition(' ')
        if kind == 'counts':
            numbers = [int(v) for v in value.split()]
            counts = {'networkIds': numbers[0], 'providers': numbers[1], 'apns': numbers[2]}
        elif kind == 'network':
            network = value
            listing[network] = []
        elif kind == 'provider':
            listing[network].append((value, []))
        elif kind == 'apn':
            listing[network][-1][1].append(value)
    return counts, listing


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument('--xml', required=True)
    arguments.add_argument('--report', required=True)
    arguments.add_argument('--dump')
    arguments.add_argument('--fixture-table', action='store_true', help='dump the fixture table')
    options = arguments.parse_args()

    expected_counts, expected_listing = expected_table(options.xml)
    with open(options.report, encoding='utf-8') as report_file:
        report = json.load(report_file)
    failures = []
    for what in ('networkIds', 'providers', 'apns'):
        print('%-10s XML %5d   generator %5d' % (what, expected_counts[what], report[what]))
        if report[what] != expected_counts[what]:
            failures.append('%s: the XML has %d, the generator reported %d' % (what, expected_counts[what], report[what]))

    if options.dump:
        table_counts, table_listing = dumped_table([options.dump] + (['--fixture'] if options.fixture_table else []))
        for what in ('networkIds', 'providers', 'apns'):
            if table_counts[what] != expected_counts[what]:
                failures.append('%s: the XML has %d, the compiled table %d' % (what, expected_counts[what],
                                                                               table_counts[what]))
        for key in sorted(set(expected_listing) | set(table_listing)):
            if expected_listing.get(key) != table_listing.get(key):
                failures.append('network %s: the XML lists %s, the compiled table %s'
                                % (key, expected_listing.get(key), table_listing.get(key)))
        print('compared the providers and APNs of %d network ids with the compiled table' % len(expected_listing))

    for failure in failures[:40]:
        print('MISMATCH ' + failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
