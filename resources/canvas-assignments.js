// SPDX-License-Identifier: GPL-3.0-or-later
// A Canvas course's assignments, as a JSON array of {id, title, category, due?, release?, url},
// read from the site's JSON API inside the signed-in assignments page (the page itself renders
// late and changes its markup between versions). Evaluated repeatedly like canvas-courses: null
// until ready, then the text. Throws "DUE_DATE …" when a due date is present but unreadable and
// "UNAVAILABLE …" when the course's assignments cannot be read at all. The raw list stays on
// window for canvas-submissions, which runs next in the same page.
(() => {
    const STATE = '__vantoryCanvasAssignments';
    const KEPT = '__vantoryCanvasSubmissionSource';
    // RFC 3339 internet date-time, the only form the application reads.
    const INTERNET_DATE = /^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(\.\d+)?(Z|[+-](\d{2}):(\d{2}))$/;

    const {fetchAllPages, answerWhenReady} = window.__vantoryCanvasApi;

    function isInternetDate(text) {
        const match = typeof text === 'string' ? INTERNET_DATE.exec(text) : null;
        if (!match)
            return false;
        const [year, month, day, hour, minute, second] = match.slice(1, 7).map(Number);
        const date = new Date(Date.UTC(year, month - 1, day, hour, minute, second));
        const offsetValid = match[8] === 'Z' || (Number(match[9]) < 24 && Number(match[10]) < 60);
        return offsetValid && date.getUTCFullYear() === year && date.getUTCMonth() === month - 1 &&
            date.getUTCDate() === day && date.getUTCHours() === hour && date.getUTCMinutes() === minute &&
            date.getUTCSeconds() === second;
    }

    function trimmed(value) {
        return typeof value === 'string' ? value.trim() : '';
    }

    function webURL(value) {
        try {
            const url = new URL(value);
            return url.protocol === 'https:' || url.protocol === 'http:' ? url.href : null;
        } catch (error) {
            return null;
        }
    }

    function toAssignment(raw, groupNames, course) {
        if (!raw || (typeof raw.id !== 'number' && typeof raw.id !== 'string'))
            throw new Error('an assignment without an id');
        const id = String(raw.id);
        const item = {
            id,
            title: trimmed(raw.name),
            // "Assignments" is the group Canvas itself puts work in when no other is chosen.
            category: groupNames.get(String(raw.assignment_group_id)) ?? 'Assignments',
        };
        if (raw.due_at !== null && raw.due_at !== undefined) {
            if (!isInternetDate(raw.due_at))
                throw new Error(`DUE_DATE: assignment ${id} has the due date ${JSON.stringify(raw.due_at)}`);
            item.due = raw.due_at;
        }
        // An unreadable unlock date only leaves the release unknown.
        if (isInternetDate(raw.unlock_at))
            item.release = raw.unlock_at;
        item.url = webURL(raw.html_url) ?? new URL(`/courses/${course}/assignments/${id}`, location.origin).href;
        return item;
    }

    async function readAssignments() {
        const match = /^\/courses\/(\d+)\/assignments\/?$/.exec(location.pathname);
        if (!match)
            throw new Error(`UNAVAILABLE: ${location.pathname} is not a course's assignment list`);
        const course = match[1];
        const [assignments, groups] = await Promise.allSettled([
            fetchAllPages(`/api/v1/courses/${course}/assignments?include[]=submission&per_page=100`),
            fetchAllPages(`/api/v1/courses/${course}/assignment_groups?per_page=100`),
        ]);
        if (assignments.status === 'rejected') {
            const error = assignments.reason;
            if ([0, 401, 403, 404].includes(error.status))
                throw new Error(`UNAVAILABLE: ${error.message}`);
            throw error;
        }
        if (groups.status === 'rejected')
            throw groups.reason;
        const groupNames = new Map(groups.value.filter((group) => group && typeof group.name === 'string')
            .map((group) => [String(group.id), group.name.trim()]));
        const items = assignments.value.map((raw) => toAssignment(raw, groupNames, course));
        window[KEPT] = {course, assignments: assignments.value};
        return JSON.stringify(items);
    }

    return answerWhenReady(STATE, readAssignments);
})()
