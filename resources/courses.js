// SPDX-License-Identifier: GPL-3.0-or-later
// Courses on the assessment site's home page, as a JSON array of {id, name, fullName, year}.
// Evaluated once after the page loaded; a value that is not a text (null) means the page holds
// neither a course table nor the empty-state text, so the list is unknown rather than empty.
(() => {
    const COURSE_TABLE_LABELS = ['Courses', 'Courses with student access'];
    const COURSE_PATH = /^\/pl\/course_instance\/([^/]+)\/?(?:assessments\/?)?$/;

    // textContent skips the comment nodes the site puts inside link texts.
    function clean(node) {
        return (node ? node.textContent : '').replace(/\s+/g, ' ').trim();
    }

    function firstYear(text) {
        const match = /(?<!\d)20\d{2}(?!\d)/.exec(text);
        return match ? Number(match[0]) : new Date().getFullYear();
    }

    // "CS 313: Systems Programming, 2025W1": the short name ends at the first colon (titles may
    // hold more), the term starts after the last comma (titles may hold commas).
    function splitLinkText(text) {
        const colon = text.indexOf(': ');
        const shortName = colon >= 0 ? text.slice(0, colon).trim() : '';
        const rest = colon >= 0 ? text.slice(colon + 2) : text;
        const comma = rest.lastIndexOf(', ');
        const title = (comma >= 0 ? rest.slice(0, comma) : rest).trim();
        const term = comma >= 0 ? rest.slice(comma + 2).trim() : '';
        return {shortName: shortName || title, title: title || shortName, term};
    }

    // The status line is short: "313" reads better than "CS 313". A subject code followed by a
    // course number ("MATH 101", "CPSC 221", "STAT 302A") shows the number alone, unless another
    // listed course has the same number (MATH 101 and PHYS 101), when both keep the full name.
    // Anything else keeps its short name.
    function compactNames(shortNames) {
        const numbers = shortNames.map((name) => {
            const match = /^[A-Za-z][A-Za-z_]{0,7}\s*(\d{3,4}[A-Za-z]?)(?![\w])/.exec(name);
            return match ? match[1] : null;
        });
        return shortNames.map((name, index) => {
            const number = numbers[index];
            if (!number || numbers.filter((other) => other === number).length > 1)
                return name;
            return number;
        });
    }

    function courseTables() {
        return Array.from(document.querySelectorAll('table[aria-label]')).filter((table) =>
            COURSE_TABLE_LABELS.includes(table.getAttribute('aria-label').replace(/\s+/g, ' ').trim()));
    }

    // One entry per row that links a course instance; invitation rows carry no such link.
    function linkedCourses(table) {
        const found = [];
        for (const row of Array.from(table.rows)) {
            for (const link of Array.from(row.querySelectorAll('a[href]'))) {
                const match = COURSE_PATH.exec(new URL(link.href, location.href).pathname);
                if (match) {
                    found.push({id: match[1], text: clean(link)});
                    break;
                }
            }
        }
        return found;
    }

    const tables = courseTables();
    if (tables.length === 0)
        return /No courses found\./.test(clean(document.body)) ? '[]' : null;

    const seen = new Set();
    const entries = [];
    for (const table of tables) {
        for (const course of linkedCourses(table)) {
            if (seen.has(course.id))
                continue;
            seen.add(course.id);
            entries.push({id: course.id, ...splitLinkText(course.text)});
        }
    }
    const names = compactNames(entries.map((entry) => entry.shortName));
    return JSON.stringify(entries.map((entry, index) => ({
        id: entry.id,
        name: names[index],
        fullName: entry.title,
        year: firstYear(entry.term),
    })));
})()
