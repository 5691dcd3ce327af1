// SPDX-License-Identifier: GPL-3.0-or-later
// A course's assessments page on the assessment site, as one JSON object
// {courseID, courseHeading, rows: [{code, title, category, availability, score, url?, rules}]}.
// Evaluated once after the page loaded. Without the assessments table the value is null (not a
// text): the page is not one the application can read.
(() => {
    const COURSE_LINK = /^\/pl\/course_instance\/([^/]+)(?:\/|$)/;
    // "2025-09-08 14:00:00-07 (PDT)" and "2025-09-08 14:00:00 (PDT)": the application reads the
    // second form only, and the abbreviation alone fixes the offset.
    const SITE_DATE = /^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})(?:\.\d+)?(?:Z|[+-]\d{2}(?::?\d{2})?)?\s*\(([^()]+)\)$/;
    // "CS 313, 2025W1", "MATH 101, Fa25": every term short name holds a digit.
    const COURSE_HEADING = /^[^,]+, ?\S*\d\S*$/;

    // textContent, so comment nodes inside texts do not split them.
    function clean(node) {
        return (node ? node.textContent : '').replace(/\s+/g, ' ').trim();
    }

    // The innermost element of the navigation whose whole text is the course heading, so a
    // wrapper that happens to end with it never wins.
    function courseHeading() {
        const bars = Array.from(document.querySelectorAll('nav, [role="navigation"]'));
        for (const bar of bars) {
            const matching = Array.from(bar.querySelectorAll('*')).filter((element) =>
                COURSE_HEADING.test(clean(element)));
            const innermost = matching.find((element) => !matching.some((other) =>
                other !== element && element.contains(other)));
            if (innermost)
                return clean(innermost);
        }
        return '';
    }

    // The course the rows belong to, as the rows' own links say; a page that shows another
    // course's assessments under this URL must not pass for this course.
    function pageCourseID(table) {
        for (const link of Array.from(table.querySelectorAll('a[href]'))) {
            const match = COURSE_LINK.exec(new URL(link.href, location.href).pathname);
            if (match)
                return match[1];
        }
        const match = COURSE_LINK.exec(location.pathname);
        return match ? match[1] : '';
    }

    // Column positions from the header texts, so extra columns do not shift the reading.
    function columns(table) {
        const headerRow = table.tHead && table.tHead.rows[0];
        const names = headerRow ? Array.from(headerRow.cells).map((cell) => clean(cell).toLowerCase()) : [];
        const find = (test, fallback) => {
            const index = names.findIndex(test);
            return index >= 0 ? index : fallback;
        };
        return {
            label: find((name) => name === 'label', 0),
            title: find((name) => name === 'title', 1),
            credit: find((name) => name.includes('credit'), 2),
            score: find((name) => name === 'score', 3),
        };
    }

    function parseCredit(text) {
        if (/^none$/i.test(text))
            return 0;
        const match = /^(\d+(?:\.\d+)?)\s*%?/.exec(text);
        const credit = match ? Number(match[1]) : 0;
        return Number.isFinite(credit) ? credit : 0; // JSON has no Infinity
    }

    function normalizeDate(text) {
        const match = SITE_DATE.exec(text);
        return match ? `${match[1]} (${match[2].trim()})` : text;
    }

    // The popover's rule table travels HTML-escaped in an attribute; an inert parsed document
    // reads it without running or loading anything from it.
    function parseRules(html) {
        const doc = new DOMParser().parseFromString(html, 'text/html');
        const table = doc.querySelector('table[aria-label="Access details"]') || doc.querySelector('table');
        if (!table)
            return [];
        const rows = Array.from(table.rows);
        const header = rows.find((row) => Array.from(row.cells).some((cell) => /^credit$/i.test(clean(cell))));
        const names = header ? Array.from(header.cells).map((cell) => clean(cell).toLowerCase()) : [];
        const at = (name, fallback) => (names.includes(name) ? names.indexOf(name) : fallback);
        const credit = at('credit', 0);
        const start = at('start', 1);
        const end = at('end', 2);
        const rules = [];
        for (const row of rows) {
            if (row === header || row.cells.length <= Math.max(credit, start, end))
                continue;
            rules.push({
                credit: parseCredit(clean(row.cells[credit])),
                start: normalizeDate(clean(row.cells[start])),
                end: normalizeDate(clean(row.cells[end])),
            });
        }
        return rules;
    }

    function webURL(link) {
        if (!link)
            return undefined;
        const url = new URL(link.href, location.href);
        return url.protocol === 'https:' || url.protocol === 'http:' ? url.href : undefined;
    }

    // The credit cell's text without the popover button (and whatever the button says).
    function availability(cell) {
        if (!cell)
            return '';
        const copy = cell.cloneNode(true);
        copy.querySelectorAll('button, [data-bs-content], [data-bs-toggle]').forEach((node) => node.remove());
        return clean(copy);
    }

    // The visible percentage of the progress bar, else the cell's text ("Not started", …).
    function score(cell) {
        const text = clean(cell);
        const percent = /(\d+(?:\.\d+)?)\s*%/.exec(text);
        return percent ? `${percent[1]}%` : text;
    }

    function readRow(row, category, column) {
        const cells = Array.from(row.cells);
        const badge = row.querySelector('[data-testid="assessment-set-badge"]');
        // Without a badge, a row of header cells is a header, not an assessment.
        if (!badge && cells.every((cell) => cell.tagName === 'TH'))
            return null;
        const code = badge ? clean(badge) : cells.length >= 2 ? clean(cells[column.label]) : '';
        if (!code)
            return null;
        const titleCell = cells[column.title];
        const link = titleCell ? titleCell.querySelector('a[href]') : null;
        const creditCell = cells[column.credit];
        const popover = (creditCell && creditCell.querySelector('[data-bs-content]')) ||
            row.querySelector('[data-bs-content]');
        const result = {
            code,
            title: clean(link) || clean(titleCell),
            category,
            availability: availability(creditCell),
            score: score(cells[column.score]),
            url: webURL(link),
            rules: popover ? parseRules(popover.getAttribute('data-bs-content') || '') : [],
        };
        if (result.url === undefined)
            delete result.url;
        return result;
    }

    const table = document.querySelector('table[aria-label="Assessments"]');
    if (!table)
        return null;
    const column = columns(table);
    const rows = [];
    let category = '';
    for (const body of Array.from(table.tBodies)) {
        for (const row of Array.from(body.rows)) {
            const heading = row.querySelector('[data-testid="assessment-group-heading"], th[scope="rowgroup"]');
            if (heading) {
                category = clean(heading);
                continue;
            }
            const read = readRow(row, category, column);
            if (read)
                rows.push(read);
        }
    }
    return JSON.stringify({courseID: pageCourseID(table), courseHeading: courseHeading(), rows});
})()
